#include "tray/TTrayPresenter.h"

#include "settings/Tparameter.h"
#include "tray/CaptionWriter.h"
#include "tray/TTrayIcon.h"
#include "tray/TrayRules.h"
#include "tray/TrayTexts.h"
#include "weather/CurrentConditions.h"
#include "weather/LoadFeedSection.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTimer>
#include <algorithm>

namespace {

// Longer than a day between the two faces would never be seen.
constexpr int LongestIconInterval = 86400;
// Balloons stay ten seconds.
constexpr int BalloonMs = 10000;

QVariant Parameter(TParam parameter)
{
    return parametri ? parametri->Get(parameter) : QVariant();
}

} // namespace

TTrayPresenter::TTrayPresenter(TTrayIcon& icon, QObject* parent)
    : QObject(parent), CoolTrayIcon1(icon), tmIkona(new QTimer(this)),
      FClock([] { return QTime::currentTime(); })
{
    tmIkona->setObjectName(QStringLiteral("tmIkona"));
    tmIkona->setInterval(3000);
    connect(tmIkona, &QTimer::timeout, this, &TTrayPresenter::tmIkonaTimer);
    connect(&CoolTrayIcon1, &TTrayIcon::HintRequested, this, [this] { ShowWeatherBalloon(true); });
}

TTrayPresenter::~TTrayPresenter() = default;

void TTrayPresenter::DestroyCaptionWriter()
{
    captionWriter.reset();
}

void TTrayPresenter::SetClock(std::function<QTime()> clock)
{
    FClock = std::move(clock);
}

void TTrayPresenter::ApplySettings()
{
    const int seconds =
        std::clamp(Parameter(TParam::INTERVAL_IKONA).toInt(), 0, LongestIconInterval);
    tmIkona->setInterval(seconds * 1000);
    if (seconds == 0)
        tmIkona->stop();

    // A new writer starts from the window in the foreground now.
    captionWriter.reset();
    if (Parameter(TParam::CAPTION_WRITER).toBool())
        captionWriter = std::make_unique<TCaptionWriter>();

    TTrayTextStyle style;
    style.Font = pas_lib::TrayTextFont(Parameter(TParam::FONT_NAME).toString(),
                                       Parameter(TParam::FONT_SIZE).toString(),
                                       Parameter(TParam::FONT_STYLE).toString());
    style.Color = pas_lib::WindowsColor(Parameter(TParam::FONT_COLOR).toLongLong())
                      .value_or(QGuiApplication::palette().color(QPalette::WindowText));
    const std::optional<QColor> background =
        pas_lib::WindowsColor(Parameter(TParam::FONT_BG_COLOR).toLongLong());
    style.Transparent = Parameter(TParam::TI_TRANSPARENT).toBool();
    if (!style.Transparent)
        style.Background = background;
    CoolTrayIcon1.SetTextStyle(style);

    const TTrayList list =
        Parameter(TParam::VI_TRANSPARENT).toBool() ? TTrayList::Transparent : TTrayList::Opaque;
    CoolTrayIcon1.SetListBackground(background.value_or(QColor(Qt::transparent)));
    if (CoolTrayIcon1.CycleIcons()) {
        // The refresh frames run: the list comes back after them.
        FListBeforeAnimation = list;
    } else {
        CoolTrayIcon1.SetImageList(list, CoolTrayIcon1.ImageIndex());
    }
    qCDebug(lcTray).noquote() << "Icon settings: font" << style.Font.family()
                              << style.Font.pointSize() << "pt, colour" << style.Color.name()
                              << (style.Transparent ? QStringLiteral("on a transparent background")
                                                    : QStringLiteral("on ") +
                                                          background.value_or(QColor()).name())
                              << "; pictures from the" << ListName(list) << "; alternation every"
                              << seconds << "s";
}

void TTrayPresenter::SetTemperatureText()
{
    const int kind = pas_lib::TrayStationKind();
    CoolTrayIcon1.SetText(
        pas_lib::TrayTemperatureText(pas_lib::currentConditions[size_t(kind)].temperature,
                                     Parameter(TParam::TI_ZNAK_STOPINJE).toBool()));
}

void TTrayPresenter::StartIconTimer()
{
    // Enabling a running timer leaves its rhythm alone.
    if (tmIkona->interval() > 0 && !tmIkona->isActive())
        tmIkona->start();
}

void TTrayPresenter::UpdateTrayIcon()
{
    const int interval = Parameter(TParam::INTERVAL_IKONA).toInt();
    const int only = Parameter(TParam::PRIKAZEM_IKONO).toInt();
    if (interval > 0 || only == 0)
        SetTemperatureText();
    if (interval > 0)
        StartIconTimer();
    else
        tmIkona->stop();

    if (interval > 0 || only == 1) {
        const QString description =
            pas_lib::currentConditions[size_t(pas_lib::WeatherSourceKind())].weather;
        if (description.isEmpty()) {
            tmIkona->stop();
            qCDebug(lcTray) << "No weather description: the alternation stops";
        } else {
            const bool night = pas_lib::IsNight(pas_lib::TimeOfDay(FClock()), pas_lib::SunriseTime,
                                                pas_lib::SunsetTime);
            const int index = pas_lib::MapWeatherToIcon(description, night);
            qCDebug(lcTray).noquote()
                << QStringLiteral("Weather \"%1\" by %2: picture %3")
                       .arg(description, night ? QStringLiteral("night") : QStringLiteral("day"))
                       .arg(index);
            const TTrayList list = Parameter(TParam::VI_TRANSPARENT).toBool()
                                       ? TTrayList::Transparent
                                       : TTrayList::Opaque;
            CoolTrayIcon1.SetImageList(list, index);
            CoolTrayIcon1.ShowPicture();
            if (interval > 0)
                StartIconTimer();
        }
    }
    UpdateTrayHint();
    ShowWeatherBalloon(false);
}

void TTrayPresenter::UpdateTrayHint()
{
    const QString hint = pas_lib::TrayHintText(
        pas_lib::currentConditions, pas_lib::TrayStationKind(), pas_lib::WeatherSourceKind(),
        Parameter(TParam::PODATKI_V_OBLACKU).toString(), FDataAge);
    CoolTrayIcon1.SetToolTip(pas_lib::CutText(hint, pas_lib::ToolTipLimit));
}

void TTrayPresenter::ShowWeatherBalloon(bool userRequest)
{
    const int k = pas_lib::TrayStationKind();
    const QString line =
        pas_lib::SummaryLine(pas_lib::currentConditions, k, pas_lib::WeatherSourceKind());
    const CurrentConditions& record = pas_lib::currentConditions[size_t(k)];
    const QString stamp = record.lastChange;
    const bool allowed = !Parameter(TParam::IZKLOPI_OBLACEK).toBool() || userRequest;
    auto balloon = [this](const QString& title, const QString& text) {
        CoolTrayIcon1.ShowBalloon(pas_lib::CutText(title, pas_lib::BalloonTitleLimit),
                                  pas_lib::CutText(text, pas_lib::BalloonTextLimit), BalloonMs);
    };

    if (stamp == lastBalloonStamp && !userRequest) {
        qCDebug(lcTray).noquote() << "Balloon not shown: observation" << stamp
                                  << "was announced already";
        if (captionWriter)
            captionWriter->SetText(stamp + QLatin1Char(' ') + line);
        return;
    }
    if (record.temperature.isEmpty()) {
        if (allowed)
            balloon(QStringLiteral("N/A"), pas_lib::NoConditionsText);
        else
            qCDebug(lcTray) << "Balloon not shown: balloons are switched off (N/A)";
        return;
    }
    if (allowed)
        balloon(pas_lib::StampWithAge(stamp, FDataAge), line);
    else
        qCDebug(lcTray).noquote() << "Balloon not shown: balloons are switched off;" << stamp;
    if (captionWriter)
        captionWriter->SetText(stamp + QLatin1Char(' ') + line);
    lastBalloonStamp = stamp;
}

void TTrayPresenter::tmIkonaTimer()
{
    trayShowsText = !trayShowsText;
    // The refresh frames keep the icon while they run.
    if (CoolTrayIcon1.CycleIcons())
        return;
    if (trayShowsText)
        SetTemperatureText();
    else
        CoolTrayIcon1.ShowPicture();
}

void TTrayPresenter::StartIconAnimation()
{
    if (CoolTrayIcon1.CycleIcons())
        return;
    FBeforeAnimation = CoolTrayIcon1.Face();
    FListBeforeAnimation = CoolTrayIcon1.ImageList();
    FIndexBeforeAnimation = CoolTrayIcon1.ImageIndex();
    CoolTrayIcon1.SetImageList(TTrayList::Animation);
    CoolTrayIcon1.SetCycleIcons(true);
}

void TTrayPresenter::StopIconAnimation()
{
    if (!CoolTrayIcon1.CycleIcons())
        return;
    CoolTrayIcon1.SetCycleIcons(false);
    // Back to the face from before, so a refresh that brings no weather
    // description leaves no radar frame standing.
    switch (FBeforeAnimation.FaceKind) {
    case TTrayFace::Text:
        CoolTrayIcon1.SetText(CoolTrayIcon1.Text());
        break;
    case TTrayFace::Program:
        CoolTrayIcon1.ShowFace(TTrayFace());
        break;
    case TTrayFace::Picture:
        break;
    }
    // With a picture face this shows the picture from before.
    CoolTrayIcon1.SetImageList(FListBeforeAnimation, FIndexBeforeAnimation);
}
