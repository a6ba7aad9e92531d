#include "app/TMainForm.h"

#include "app/Exception.h"
#include "app/Messages.h"
#include "settings/Tparameter.h"

#include <QApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMainForm, "nimbulon.app", QtInfoMsg)

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Nimbulon"));
    // A failing start-up step ends the start-up there; the program runs on with
    // what was set up, as it does after any other unexpected error.
    try {
        FormCreate();
    } catch (const std::exception& error) {
        pas_lib::ShowMessage(QString::fromUtf8(error.what()), pas_lib::TMessageKind::Error);
    }
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    setMinimumSize(500, 301);
    setMaximumSize(910, 791);
    resize(744, 545);
    setWindowState(Qt::WindowMinimized);

    CreateParameters();
    qCInfo(lcMainForm) << "Start-up finished";
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
