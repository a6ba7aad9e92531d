#include "controls/TAdvertisingStrip.h"

#include <QImageReader>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPainterPath>

TAdvertisingStrip::TAdvertisingStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("suiReklame"));
    setFixedSize(StripWidth, StripHeight);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Oglas"));
}

TAdvertisingStrip::~TAdvertisingStrip() = default;

void TAdvertisingStrip::Clear()
{
    FMovie.reset();
    FBuffer.close();
    FBytes.clear();
    FImage = QImage();
}

void TAdvertisingStrip::SetPicture(const QByteArray& picture, const QByteArray& format)
{
    Clear();
    if (picture.isEmpty() || format.isEmpty()) {
        update();
        return;
    }
    FBytes = picture;
    FBuffer.setBuffer(&FBytes);
    FBuffer.open(QIODevice::ReadOnly);
    QImageReader reader(&FBuffer, format);
    const QSize size = reader.size();
    // An absurd declared size is refused before any pixel is decoded.
    if (!size.isValid() || size.width() > MaxPictureSide || size.height() > MaxPictureSide) {
        Clear();
        update();
        return;
    }
    if (format == "GIF" && reader.supportsAnimation() && reader.imageCount() != 1) {
        FBuffer.seek(0);
        FMovie = std::make_unique<QMovie>(&FBuffer, format);
        if (!FMovie->isValid()) {
            Clear();
        } else {
            connect(FMovie.get(), &QMovie::frameChanged, this, [this] { update(); });
            if (isVisible())
                FMovie->start();
            else
                FMovie->jumpToFrame(0);
        }
    } else {
        FImage = reader.read();
        if (FImage.isNull())
            Clear();
    }
    update();
}

bool TAdvertisingStrip::HasPicture() const
{
    return FMovie || !FImage.isNull();
}

QSize TAdvertisingStrip::PictureSize() const
{
    if (FMovie)
        return FMovie->currentImage().size();
    return FImage.size();
}

QRect TAdvertisingStrip::PictureRect() const
{
    const QSize natural = PictureSize();
    if (!HasPicture() || natural.isEmpty())
        return QRect();
    if (natural.width() <= width() && natural.height() <= height())
        return QRect(QPoint(0, 0), natural);
    return QRect(QPoint(0, 0), natural.scaled(size(), Qt::KeepAspectRatio));
}

void TAdvertisingStrip::PaintPlaceholder(QPainter& painter) const
{
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    shade.setColorAt(0, QColor(236, 238, 241));
    shade.setColorAt(1, QColor(206, 210, 216));
    QPainterPath frame;
    frame.addRoundedRect(area, 4, 4);
    painter.fillPath(frame, shade);
    painter.setPen(QPen(QColor(160, 166, 176), 1));
    painter.drawPath(frame);
    // A small cloud at the left, the strip's purpose beside it.
    const QPointF c(area.left() + 30, area.center().y() + 3);
    QPainterPath cloud;
    cloud.addEllipse(c + QPointF(-11, -2), 8, 7);
    cloud.addEllipse(c + QPointF(0, -7), 10, 10);
    cloud.addEllipse(c + QPointF(11, -1), 8, 8);
    cloud.addRoundedRect(QRectF(c.x() - 19, c.y() - 3, 38, 10), 5, 5);
    painter.fillPath(cloud.simplified(), QColor(176, 182, 192));
    QFont font = painter.font();
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(120, 128, 140));
    painter.drawText(area.adjusted(60, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Prostor za vaš oglas"));
}

void TAdvertisingStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    PaintPlaceholder(painter);
    const QRect target = PictureRect();
    if (target.isEmpty())
        return;
    if (FMovie)
        painter.drawImage(target, FMovie->currentImage());
    else
        painter.drawImage(target, FImage);
}

void TAdvertisingStrip::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (PictureRect().contains(event->position().toPoint()))
        emit pictureClicked();
    else
        emit stripClicked();
}

// An animation runs only while the strip is seen.
void TAdvertisingStrip::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!FMovie)
        return;
    if (FMovie->state() == QMovie::Paused)
        FMovie->setPaused(false);
    else if (FMovie->state() == QMovie::NotRunning)
        FMovie->start();
}

void TAdvertisingStrip::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (FMovie && FMovie->state() == QMovie::Running)
        FMovie->setPaused(true);
}
