#include "controls/TKorvalinBanner.h"

#include "common/FixedFormat.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int DesignWidth = 145;
constexpr int DesignHeight = 18;
constexpr int DesignInterval = 50;

TShiftState ShiftState(const QMouseEvent* event)
{
    TShiftState shift;
    const Qt::KeyboardModifiers keys = event->modifiers();
    const Qt::MouseButtons buttons = event->buttons();
    shift.setFlag(TShiftFlag::ssShift, keys.testFlag(Qt::ShiftModifier));
    shift.setFlag(TShiftFlag::ssCtrl, keys.testFlag(Qt::ControlModifier));
    shift.setFlag(TShiftFlag::ssLeft, buttons.testFlag(Qt::LeftButton));
    shift.setFlag(TShiftFlag::ssRight, buttons.testFlag(Qt::RightButton));
    shift.setFlag(TShiftFlag::ssMiddle, buttons.testFlag(Qt::MiddleButton));
    return shift;
}

bool ReportedButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::RightButton;
}

} // namespace

TKorvalinBanner::TKorvalinBanner(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse moves are reported with no button held, too.
    setMouseTracking(true);
    FColor = palette().color(QPalette::Window);
    FFontColor = palette().color(QPalette::WindowText);
    resize(DesignWidth, DesignHeight);
    FTimer.setInterval(DesignInterval);
    connect(&FTimer, &QTimer::timeout, this, &TKorvalinBanner::TimerTick);
    SetText(QStringLiteral("Banner by Korvalin"));
}

TKorvalinBanner::~TKorvalinBanner() = default;

void TKorvalinBanner::SetText(const QString& text)
{
    FText = text;
    FTextWidth = -1;
    FLaidOut.setText(text);
    UpdateTimer();
}

int TKorvalinBanner::Speed() const
{
    return pas_lib::RoundToInteger<int>(10000.0 / FTimer.interval()).value_or(MinSpeed);
}

void TKorvalinBanner::SetSpeed(int speed)
{
    const int clamped = std::clamp(speed, MinSpeed, MaxSpeed);
    FTimer.setInterval(pas_lib::RoundToInteger<int>(10000.0 / clamped).value_or(DesignInterval));
}

void TKorvalinBanner::SetGap(quint16 gap)
{
    FGap = gap;
    repaint();
}

void TKorvalinBanner::SetTransparent(bool transparent)
{
    FTransparent = transparent;
    // A transparent banner lets Qt compose what lies beneath before it paints.
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

void TKorvalinBanner::SetColor(const QColor& color)
{
    FColor = color;
    update();
}

void TKorvalinBanner::SetFontColor(const QColor& color)
{
    FFontColor = color;
    update();
}

void TKorvalinBanner::Stop()
{
    FTimer.stop();
    FPos = 0;
    // Measured now, so a banner stopped before its first tick shows its text
    // with the spacing of this text, not of an earlier one.
    MeasureSpacing();
    repaint();
    FRunning = false;
}

int TKorvalinBanner::TextWidth() const
{
    if (FTextWidth < 0)
        FTextWidth = QFontMetrics(font()).horizontalAdvance(FText);
    return FTextWidth;
}

// A text shorter than the banner: copies a whole width apart; a longer one:
// Gap pixels between copies; Gap 0: a whole width of space after each copy.
void TKorvalinBanner::MeasureSpacing()
{
    const int textWidth = TextWidth();
    if (FGap == 0)
        FSpacing = width();
    else if (textWidth + FGap > width())
        FSpacing = FGap;
    else
        FSpacing = width() - textWidth;
}

void TKorvalinBanner::TimerTick()
{
    if (FFirstTick) {
        FPos = width();
        FFirstTick = false;
    }
    MeasureSpacing();
    const int period = TextWidth() + FSpacing;
    if (FPos + period < 0)
        FPos += period;
    else
        --FPos;
    update();
}

void TKorvalinBanner::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    // Qt composes the frame off-screen and puts it on the screen in one go.
    QPainter painter(this);
    if (!FTransparent)
        painter.fillRect(rect(), FColor);
    painter.setFont(font());
    painter.setPen(FFontColor);
    const int period = TextWidth() + FSpacing;
    int x = FPos;
    do {
        painter.drawStaticText(x, 0, FLaidOut);
        if (period <= 0)
            break;
        x += period;
    } while (x < width());
}

void TKorvalinBanner::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A stopped banner keeps its text standing at the left edge.
    if (FRunning)
        FPos = width();
    emit OnSize();
    UpdateTimer();
}

void TKorvalinBanner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FObscured = false;
    WatchWindow();
    UpdateTimer();
}

void TKorvalinBanner::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // A spontaneous hide comes from the window system (the window unmapped or
    // minimised) and leaves isVisible() true.
    if (event->spontaneous())
        FObscured = true;
    UpdateTimer();
}

void TKorvalinBanner::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        FTextWidth = -1;
        FLaidOut.setText(FText);
        update();
        break;
    case QEvent::ActivationChange:
        emit OnActivate();
        break;
    default:
        break;
    }
}

bool TKorvalinBanner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FWatchedWindow && event->type() == QEvent::WindowStateChange)
        UpdateTimer();
    return QWidget::eventFilter(watched, event);
}

void TKorvalinBanner::WatchWindow()
{
    QWidget* top = window();
    if (top == FWatchedWindow || top == this)
        return;
    if (FWatchedWindow)
        FWatchedWindow->removeEventFilter(this);
    FWatchedWindow = top;
    top->installEventFilter(this);
}

void TKorvalinBanner::UpdateTimer()
{
    const bool minimised = window()->windowState().testFlag(Qt::WindowMinimized);
    const bool wanted =
        FRunning && isVisible() && !FObscured && !minimised && width() > 0 && !FText.isEmpty();
    if (wanted && !FTimer.isActive())
        FTimer.start();
    else if (!wanted && FTimer.isActive())
        FTimer.stop();
}

// A click is reported when the button goes down.
void TKorvalinBanner::mousePressEvent(QMouseEvent* event)
{
    if (!ReportedButton(event->button())) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), ShiftState(event), at.x(), at.y());
    emit OnClick();
}

void TKorvalinBanner::mouseReleaseEvent(QMouseEvent* event)
{
    if (!ReportedButton(event->button())) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit OnMouseUp(event->button(), ShiftState(event), at.x(), at.y());
}

void TKorvalinBanner::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!ReportedButton(event->button())) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), ShiftState(event) | TShiftFlag::ssDouble, at.x(), at.y());
    emit OnDblClick();
}

void TKorvalinBanner::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(ShiftState(event), at.x(), at.y());
}
