#include "controls/TBannerCap.h"

#include <QPainter>
#include <QPainterPath>

TBannerCap::TBannerCap(TSide side, QWidget* parent) : QWidget(parent), FSide(side)
{
    setFixedSize(CapWidth, CapHeight);
}

void TBannerCap::SetBand(const QWidget* band, const QColor& color)
{
    FBand = band;
    FColor = color;
    update();
}

void TBannerCap::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!FBand)
        return;
    // Where the layout put the band, to the pixel.
    const int top = FBand->y() - y();
    const int bandHeight = FBand->height();
    const qreal radius = bandHeight / 2.0;
    // A rounded rectangle reaching one radius past the edge that touches the
    // band, so only its round end shows.
    const QRectF shape = FSide == TSide::Left ? QRectF(0, top, width() + radius, bandHeight)
                                              : QRectF(-radius, top, width() + radius, bandHeight);
    QPainterPath path;
    path.addRoundedRect(shape, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FColor);
    painter.drawPath(path);
}
