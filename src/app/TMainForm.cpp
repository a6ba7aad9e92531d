#include "app/TMainForm.h"

#include "common/Desktop.h"
#include "common/Exception.h"
#include "common/Messages.h"
#include "net/WaitWithMessages.h"
#include "remote/MirrorTable.h"
#include "remote/RemoteSettings.h"
#include "remote/StationCode.h"
#include "settings/Tparameter.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/TRefreshCycle.h"
#include "weather/TWeatherData.h"
#include "weather/UpdateConditions.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>
#include <climits>

Q_LOGGING_CATEGORY(lcMainForm, "nimbulon.app", QtInfoMsg)

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Nimbulon"));
    tmOsvezi = new QTimer(this);
    tmOsvezi->setObjectName(QStringLiteral("tmOsvezi"));
    connect(tmOsvezi, &QTimer::timeout, this, &TMainForm::tmOsveziTimer);
    // A failing start-up step ends the start-up there; the program runs on with
    // what was set up, as it does after any other unexpected error.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        pas_lib::ShowMessage(QString::fromUtf8(error.what()), pas_lib::TMessageKind::Error);
    }
}

TMainForm::~TMainForm()
{
    tmOsvezi->stop();
    SetReportStations(nullptr);
    delete FRefresh;
    FRefresh = nullptr;
    if (FBusyCursor)
        QApplication::restoreOverrideCursor();
}

void TMainForm::FormCreate()
{
    setMinimumSize(500, 301);
    setMaximumSize(910, 791);
    resize(744, 545);

    // Started with the session: nothing is fetched in the first ten seconds.
    if (QCoreApplication::arguments().value(1) == QLatin1String("/startup")) {
        qCInfo(lcMainForm) << "Started with the session; waiting 10 s";
        WaitWithMessages(10000);
        if (pas_lib::ProgramEndRequested())
            return;
    }

    setWindowState(Qt::WindowMinimized);
    pas_lib::CurrentViewKind = 0;
    MirrorTable.Clear();
    MirrorTable.Count = 0;
    LastRemoteRead = QDateTime();
    FWeather = std::make_unique<TWeatherData>();
    FRefresh = new TRefreshCycle(*FWeather, *this);

    CreateParameters();
    FWeather->CreateWeatherTables();
    SetReportStations(FWeather.get());
    ApplySettings();
    qCInfo(lcMainForm) << "Start-up finished";
}

void TMainForm::ApplySettings()
{
    const qint64 milliseconds = qint64(RefreshIntervalMinutes()) * 60000;
    tmOsvezi->start(int(std::min<qint64>(milliseconds, INT_MAX)));
    qCDebug(lcRefresh) << "Refresh every" << tmOsvezi->interval() / 60000 << "minutes";

    SetChosenPlaces();
    tmOsveziTimer();
}

void TMainForm::tmOsveziTimer()
{
    RefreshData(false);
}

void TMainForm::RefreshData(bool withoutPictures)
{
    if (FRefresh)
        FRefresh->RefreshData(withoutPictures);
}

bool TMainForm::WindowMinimized() const
{
    return windowState().testFlag(Qt::WindowMinimized);
}

// The notification-area icon and the views below come with their own windows;
// until then the refresh only reports these steps.
void TMainForm::StartIconAnimation()
{
    qCDebug(lcRefresh) << "Icon: refresh frames start";
}

void TMainForm::StopIconAnimation()
{
    qCDebug(lcRefresh) << "Icon: refresh frames stop";
}

void TMainForm::ShowRefreshIndicator()
{
    if (!FBusyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FBusyCursor = true;
    }
}

void TMainForm::HideRefreshIndicator()
{
    if (FBusyCursor) {
        QApplication::restoreOverrideCursor();
        FBusyCursor = false;
    }
}

void TMainForm::DrawMoonPhase()
{
    qCDebug(lcRefresh) << "Moon phase panel";
}

void TMainForm::PresentConditions()
{
    for (const CurrentConditions& conditions : pas_lib::currentConditions) {
        qCInfo(lcRefresh).noquote()
            << conditions.place + QStringLiteral(": ") +
                   (conditions.temperature.isEmpty()
                        ? QStringLiteral("ni podatka")
                        : conditions.temperature + QStringLiteral(", ") + conditions.weather);
    }
}

void TMainForm::UpdateTableStatistics(TWeatherTable& table)
{
    Q_UNUSED(table);
    qCDebug(lcRefresh) << "Table statistics";
}

void TMainForm::RestoreSort()
{
    qCDebug(lcRefresh) << "Table sort order";
}

void TMainForm::UpdatePictures()
{
    qCDebug(lcRefresh) << "Radar and forecast pictures";
}

void TMainForm::WMInstanceNotify(quint32 wParam, quint32 lParam)
{
    Q_UNUSED(lParam);
    if (wParam != 1)
        return;
    // A visible window is only told that it is active; a hidden one stays hidden.
    if (isVisible())
        QApplication::postEvent(this, new QEvent(QEvent::WindowActivate));
    qCInfo(lcMainForm) << "Another start of the program: Tukaj sem ;-)";
    emit BalloonRequested(QStringLiteral("Nimbulon"), QStringLiteral("Tukaj sem ;-)"), 10000);
}
