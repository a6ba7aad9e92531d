#include "controls/TSideChannel.h"

#include "controls/SvgIcon.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QToolButton>

namespace {
// Pointer out of the channel for this long collapses it: crossing its edge
// for a moment does not.
constexpr int CollapseDelayMs = 250;
} // namespace

TSideChannel::TSideChannel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("suiSideChannel"));
    setAccessibleName(QStringLiteral("Stranski pas"));
    setAttribute(Qt::WA_StyledBackground);
    FPanel = new QWidget(this);
    FPanel->setObjectName(QStringLiteral("suiSideChannelPanel"));
    FPanel->setAttribute(Qt::WA_StyledBackground);
    FPanel->hide();

    FPin = new QToolButton(this);
    FPin->setObjectName(QStringLiteral("suiSideChannelPin"));
    FPin->setCheckable(true);
    FPin->setAutoRaise(true);
    FPin->setIconSize(QSize(14, 14));
    FPin->setFixedSize(20, 20);
    FPin->setFocusPolicy(Qt::NoFocus);
    FPin->hide();
    connect(FPin, &QToolButton::toggled, this, &TSideChannel::SetPinned);
    UpdatePinButton();

    FCollapseTimer.setSingleShot(true);
    FCollapseTimer.setInterval(CollapseDelayMs);
    connect(&FCollapseTimer, &QTimer::timeout, this, &TSideChannel::Collapse);
    setFixedWidth(BarWidth);

    // The keyboard opens it too: Tab onto the bar expands the channel, and the
    // focus leaving it folds it again.
    setFocusPolicy(Qt::TabFocus);
    FFocusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        FFocusInside = now && isAncestorOf(now);
        if (FExpanded && !FPinned && now && now != this && !isAncestorOf(now) && !underMouse())
            Collapse();
    });
}

TSideChannel::~TSideChannel()
{
    // The controls inside give up the focus while they are destroyed, after
    // this part of the channel is gone.
    disconnect(FFocusWatch);
}

void TSideChannel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (event->reason() != Qt::TabFocusReason && event->reason() != Qt::BacktabFocusReason)
        return;
    // Back-tab from the first control inside goes on out; into the channel
    // from outside, either way, it opens and hands the focus to the first or
    // the last control inside.
    if (event->reason() == Qt::BacktabFocusReason && FFocusInside) {
        focusPreviousChild();
        return;
    }
    Expand();
    if (event->reason() == Qt::TabFocusReason) {
        focusNextChild();
        return;
    }
    QWidget* last = nullptr;
    for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain())
        if (isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() &&
            widget->isEnabled())
            last = widget;
    if (last)
        last->setFocus(Qt::BacktabFocusReason);
    else
        focusPreviousChild();
}

void TSideChannel::SetPinned(bool pinned)
{
    if (pinned == FPinned)
        return;
    FPinned = pinned;
    FPin->setChecked(pinned);
    UpdatePinButton();
    if (pinned)
        Expand();
    emit PinnedChanged(pinned);
    emit LayoutChanged();
}

void TSideChannel::UpdatePinButton()
{
    const QColor color(0x48, 0x5A, 0x79);
    const QColor active(0x7B, 0x56, 0x11);
    FPin->setIcon(
        SvgIcon(FPinned ? QStringLiteral("pin") : QStringLiteral("unpin"), color, active));
    const QString hint = FPinned ? QStringLiteral("Odpni") : QStringLiteral("Pripni");
    FPin->setToolTip(hint);
    FPin->setAccessibleName(hint);
}

void TSideChannel::Expand()
{
    FCollapseTimer.stop();
    if (FExpanded)
        return;
    FExpanded = true;
    setFixedWidth(ExpandedWidth);
    FPanel->show();
    FPin->show();
    FPin->raise();
    raise();
    emit LayoutChanged();
    emit Pop();
}

void TSideChannel::Collapse()
{
    FCollapseTimer.stop();
    if (!FExpanded || FPinned)
        return;
    FExpanded = false;
    FPanel->hide();
    FPin->hide();
    setFixedWidth(BarWidth);
    emit LayoutChanged();
    emit Push();
}

void TSideChannel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    Expand();
}

void TSideChannel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (!FPinned)
        FCollapseTimer.start();
}

void TSideChannel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FPanel->setGeometry(BarWidth, 0, ExpandedWidth - BarWidth, height());
    FPin->move(ExpandedWidth - FPin->width() - 3, 2);
}

void TSideChannel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The bar: white, with a small grip that says the channel opens.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, BarWidth, height()), Qt::white);
    painter.setPen(QColor(0xC9, 0xD2, 0xDE));
    painter.drawLine(QPointF(BarWidth - 0.5, 0), QPointF(BarWidth - 0.5, height()));
    if (!FExpanded) {
        const qreal y = height() / 2.0;
        QPen pen(QColor(0x8B, 0x9D, 0xBA), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawPolyline(QPolygonF({{3.5, y - 4}, {6.5, y}, {3.5, y + 4}}));
    }
}

TSideChannelHost::TSideChannelHost(TSideChannel* channel, QWidget* content, QWidget* parent)
    : QWidget(parent), FChannel(channel), FContent(content)
{
    content->setParent(this);
    channel->setParent(this);
    channel->raise();
    connect(channel, &TSideChannel::LayoutChanged, this, &TSideChannelHost::Arrange);
}

QSize TSideChannelHost::sizeHint() const
{
    const QSize content = FContent->sizeHint();
    return {content.width() + FChannel->ReservedWidth(), content.height()};
}

QSize TSideChannelHost::minimumSizeHint() const
{
    const QSize content = FContent->minimumSizeHint();
    return {content.width() + FChannel->ReservedWidth(), content.height()};
}

void TSideChannelHost::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange();
}

void TSideChannelHost::Arrange()
{
    const int reserved = FChannel->ReservedWidth();
    FContent->setGeometry(reserved, 0, width() - reserved, height());
    FChannel->setGeometry(
        0, 0, FChannel->Expanded() ? TSideChannel::ExpandedWidth : TSideChannel::BarWidth,
        height());
    FChannel->raise();
}
