#include "controls/TBannerCap.h"

#include <QPainter>
#include <QPainterPath>

TBannerCap::TBannerCap(TSide side, QWidget* parent) : QWidget(parent), FSide(side)
{
    setFixedSize(CapWidth, CapHeight);
}

void TBannerCap::SetBand(const QColor& color, int height)
{
    FColor = color;
    FBandHeight = height;
    update();
}

void TBannerCap::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The same whole-pixel top as a layout gives the band centred beside it.
    const int top = (height() - FBandHeight) / 2;
    const qreal radius = FBandHeight / 2.0;
    // A rounded rectangle reaching one radius past the edge that touches the
    // band, so only its round end shows.
    const QRectF shape = FSide == TSide::Left ? QRectF(0, top, width() + radius, FBandHeight)
                                              : QRectF(-radius, top, width() + radius, FBandHeight);
    QPainterPath path;
    path.addRoundedRect(shape, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FColor);
    painter.drawPath(path);
}
