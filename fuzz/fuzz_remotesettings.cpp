// The remote settings document after it was received: whatever it holds,
// Config.ini keeps its lines, only whole web addresses are cached, and the
// mirror table stays within its bounds. Nothing leaves the machine: the
// catalogue is fresh, so it is never due, and addresses are never opened.

#include "FuzzSupport.h"
#include "common/DataPaths.h"
#include "common/Desktop.h"
#include "common/XmlDocument.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "settings/ProfileFile.h"
#include "settings/Tparameter.h"

#include <QStringList>

namespace {

const QByteArray initialConfig = "[PARAMETRI]\nPROXY_SERVER=\"\"\n[URL]\n"
                                 "NASTAVITVE=http://nastavitve.example/cliententer.asp\n"
                                 "STATICNENASTAVITVE=http://127.0.0.1:9/nastavitve.xml\n";
const QString cachedAddress = QStringLiteral("http://nastavitve.example/cliententer.asp");

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Initialize(argc, argv, false);
    fuzz::WriteHomeFile(QStringLiteral("Postaje.xml"), "<Postaje/>");
    fuzz::WriteHomeFile(QStringLiteral("Config.ini"), initialConfig);
    CreateParameters();
    pas_lib::SetWebAddressOpener([](const QString& address) {
        FUZZ_CHECK(address.startsWith(QLatin1String("http://")) ||
                       address.startsWith(QLatin1String("https://")),
                   address);
        return true;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size > 0)
        fuzz::Presenter().AnswerYes = (bytes[0] & 1) != 0;
    const pas_lib::TXmlDocument document(
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    // Nothing here reaches a server: the catalogue is there, so it is not due.
    QCoro::waitFor(ApplyRemoteSettings(document, cachedAddress));
    pas_lib::ResetProgramEndRequest();

    // Every line of Config.ini is one the program wrote on purpose.
    const QByteArray config = fuzz::ReadHomeFile(QStringLiteral("Config.ini"));
    const QStringList lines =
        QString::fromUtf8(config).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    static const QStringList allowed{QStringLiteral("[PARAMETRI]"),
                                     QStringLiteral("PROXY_SERVER="),
                                     QStringLiteral("[URL]"),
                                     QStringLiteral("NASTAVITVE="),
                                     QStringLiteral("STATICNENASTAVITVE="),
                                     QStringLiteral("REKLAME=")};
    FUZZ_CHECK(lines.size() <= allowed.size(), QString::fromUtf8(config));
    for (const QString& line : lines) {
        bool known = false;
        for (const QString& start : allowed)
            known = known || line.startsWith(start);
        FUZZ_CHECK(known, QString::fromUtf8(config));
    }
    for (const char* key : {"NASTAVITVE", "REKLAME"}) {
        const auto value = pas_lib::ReadProfileString(pas_lib::ConfigIniPath, QStringLiteral("URL"),
                                                      QString::fromLatin1(key));
        FUZZ_CHECK(!value || pas_lib::IsWebAddress(*value), *value);
    }
    FUZZ_CHECK(parametri->Get(QStringLiteral("PROXY_SERVER")).toString().isEmpty(), QString());

    FUZZ_CHECK(MirrorTable.Count >= 0 && MirrorTable.Count <= TMirrorTable::Capacity, QString());
    for (int mirror = 1; mirror <= MirrorTable.Count; ++mirror) {
        FUZZ_CHECK(MirrorTable.Mirrors[size_t(mirror)].Weight >= 0, QString());
        for (int slot = 1; slot <= 13; ++slot)
            FUZZ_CHECK(MirrorFileAddress(mirror, slot).size() <= TMirrorTable::MaxAddressLength,
                       QString());
    }
    if (MirrorTable.Count > 0)
        FUZZ_CHECK(PickMirror() >= 1 && PickMirror() <= MirrorTable.Count, QString());

    if (config != initialConfig)
        fuzz::WriteHomeFile(QStringLiteral("Config.ini"), initialConfig);
    return 0;
}
