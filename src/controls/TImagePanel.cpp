#include "controls/TImagePanel.h"

#include <QPainter>

TImagePanel::TImagePanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
}

void TImagePanel::SetPicture(const QImage& picture)
{
    FPicture = picture;
    update();
}

void TImagePanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (FPicture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF size = FPicture.size();
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    painter.drawImage(target, FPicture);
}
