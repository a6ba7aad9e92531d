#include "common/UserSettings.h"

#include "common/DataPaths.h"

namespace {
std::unique_ptr<QSettings> Open(const QString& application, const QString& fileName)
{
    const QString home = pas_lib::HomeOverride();
    if (!home.isEmpty())
        return std::make_unique<QSettings>(home + fileName, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Korvalin"), application);
}
} // namespace

std::unique_ptr<QSettings> OpenCompanySettings()
{
    return Open(QString(), QStringLiteral("Korvalin.ini"));
}

std::unique_ptr<QSettings> OpenProgramSettings()
{
    return Open(QStringLiteral("Nimbulon"), QStringLiteral("Nimbulon.ini"));
}
