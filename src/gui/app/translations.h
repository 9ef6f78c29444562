#pragma once
// The Spanish texts of Qt's own dialogs and buttons ("Sí", "No", "Aceptar",
// "Cancelar").

class QCoreApplication;

namespace valdex {

// Installs Qt's Spanish translation on the application; false when the
// translation files are not installed.
bool InstallSpanishTranslations(QCoreApplication& app);

} // namespace valdex
