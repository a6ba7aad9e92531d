#include "remote/ClientIdentity.h"

#include "common/Desktop.h"
#include "common/Messages.h"
#include "common/UserSettings.h"
#include "settings/Tparameter.h"

#include <QRandomGenerator>

namespace {

const QString idValueName = QStringLiteral("IDClient");

// A value kept as bytes, as text or as an integer is accepted as it is.
QString ReadClientId()
{
    const auto settings = OpenCompanySettings();
    const QVariant value = settings->value(idValueName);
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

QString NewClientId()
{
    auto group = [] {
        return QStringLiteral("%1")
            .arg(QRandomGenerator::global()->bounded(0xFFFFF), 5, 16, QLatin1Char('0'))
            .toUpper();
    };
    return group() + QLatin1Char('-') + group();
}

enum class TReportValue { Logical, Integer, Stored };

struct TReportItem
{
    const char* Key;
    TParam Parameter;
    TReportValue Kind;
};

// The settings report, key by key in the order the servers expect.
constexpr TReportItem settingsReport[] = {
    {"&M1=", TParam::SLIKA_PADAVINE, TReportValue::Logical},
    {"&M2=", TParam::SATELITSKA_SLIKA, TReportValue::Logical},
    {"&M3=", TParam::VREMENSKA_NAPOVED, TReportValue::Logical},
    {"&M4=", TParam::NAPOVED_V_SLIKI, TReportValue::Logical},
    {"&M5=", TParam::NAPOVED_BIO, TReportValue::Logical},
    {"&M6=", TParam::NAPOVED_JULIJCI, TReportValue::Logical},
    {"&M7=", TParam::NAPOVED_LETALSTVO, TReportValue::Logical},
    {"&M8=", TParam::SNEZNA_ODEJA, TReportValue::Logical},
    {"&M9=", TParam::GRAF_TEMPERATURE, TReportValue::Logical},
    {"&II=", TParam::INTERVAL_IKONA, TReportValue::Integer},
    {"&X=", TParam::MINIMIZE_ON_X, TReportValue::Logical},
    {"&NEWV=", TParam::PREVERI_NOVO_VERZIJO, TReportValue::Logical},
    {"&CW=", TParam::CAPTION_WRITER, TReportValue::Logical},
    {"&AZ=", TParam::NE_AVTOMATSKI_ZAGON, TReportValue::Logical},
    {"&IO=", TParam::IZKLOPI_OBLACEK, TReportValue::Logical},
    {"&TITR=", TParam::TI_TRANSPARENT, TReportValue::Logical},
    {"&TIZS=", TParam::TI_ZNAK_STOPINJE, TReportValue::Logical},
    {"&VITR=", TParam::VI_TRANSPARENT, TReportValue::Logical},
    {"&PO=", TParam::PODATKI_V_OBLACKU, TReportValue::Stored},
    {"&FSI=", TParam::FONT_SIZE, TReportValue::Stored},
    {"&FST=", TParam::FONT_STYLE, TReportValue::Stored},
};

QString ReportValue(const TReportItem& item)
{
    const QVariant value = parametri->Get(item.Parameter);
    switch (item.Kind) {
    case TReportValue::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TReportValue::Integer:
        return QString::number(value.toInt());
    case TReportValue::Stored:
        break;
    }
    return value.toString();
}

} // namespace

QString ClientId()
{
    QString id = ReadClientId();
    if (!id.isEmpty())
        return id;
    {
        const auto settings = OpenCompanySettings();
        settings->setValue(idValueName, NewClientId().toLatin1());
        settings->sync();
    }
    id = ReadClientId();
    if (id.isEmpty()) {
        // The program ends once the user has read why.
        []() -> QCoro::Task<> {
            co_await pas_lib::ShowMessage(
                QStringLiteral("Za delovanje programa omogoči zapis v register!"),
                pas_lib::TMessageKind::Error);
            pas_lib::RequestProgramEnd();
        }();
    }
    return id;
}

QString ProgramVersion()
{
    return QStringLiteral(NIMBULON_VERSION);
}

QString VersionCode()
{
    return QStringLiteral("%1").arg(10600, 5, 16, QLatin1Char('0')).toUpper();
}

QString ClientReport(TReportMode mode, const TReportStations& stations)
{
    const QString id = ClientId();
    if (mode == TReportMode::Advertising) {
        return QStringLiteral("?ID=") + id + QStringLiteral("&KO=") + stations.observation +
               QStringLiteral("&KA=") + stations.automatic;
    }
    QString report = QStringLiteral("?ID=") + id + QStringLiteral("&V=") + VersionCode();
    for (const TReportItem& item : settingsReport)
        report += QLatin1String(item.Key) + ReportValue(item);
    return report;
}
