#pragma once
// The Spanish texts of Qt's own dialogs and buttons ("Sí", "No", "Aceptar",
// "Cancelar").

class QCoreApplication;

namespace valdex {

// Installs Qt's Spanish translation on the application; false when the
// translation files are not installed.
bool InstallSpanishTranslations(QCoreApplication& app);

// Makes Spanish the locale of Qt's widgets (dates, sizes and folder names in
// the file dialogs): the user's own when it is Spanish, else plain "es".
// Numbers of the study keep the C library's locale.
void UseSpanishLocale();

} // namespace valdex
