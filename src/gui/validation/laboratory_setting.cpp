#include "validation/laboratory_setting.h"

#include "base/app_error.h"

#include <QSettings>

namespace valdex {

namespace {

constexpr const char* kKey = "informe/laboratorio";

QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("VALDEX"),
                     QStringLiteral("valdex"));
}

} // namespace

std::string StoredLaboratoryName() {
    // A settings file edited by hand may hold anything: one line of at most
    // 255 characters is what the report shows.
    QString name = UserSettings().value(kKey).toString().simplified();
    if (name.size() > 255) name.truncate(255);
    return name.toStdString();
}

void StoreLaboratoryName(const std::string& name) {
    QSettings settings = UserSettings();
    settings.setValue(kKey, QString::fromStdString(name).simplified());
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw AppError("No se pudo guardar el nombre del laboratorio en " +
                       settings.fileName().toStdString() + ".");
}

} // namespace valdex
