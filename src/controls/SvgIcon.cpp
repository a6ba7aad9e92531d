#include "controls/SvgIcon.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

QByteArray Drawing(const QString& name)
{
    QFile file(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Coloured(const QByteArray& svg, const QColor& color)
{
    if (!color.isValid())
        return svg;
    QByteArray result = svg;
    return result.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
}

void Render(QPainter& painter, const QRectF& rect, const QByteArray& svg, qreal opacity)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return;
    // Keep the drawing's proportions, centred in the rectangle.
    QSizeF size = renderer.defaultSize();
    size.scale(rect.size(), Qt::KeepAspectRatio);
    const QRectF target(rect.x() + (rect.width() - size.width()) / 2,
                        rect.y() + (rect.height() - size.height()) / 2, size.width(),
                        size.height());
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    renderer.render(&painter, target);
    painter.restore();
}

class TSvgIconEngine : public QIconEngine
{
public:
    TSvgIconEngine(QByteArray svg, QColor color, QColor activeColor)
        : FSvg(std::move(svg)), FColor(color), FActiveColor(activeColor)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor color = FColor;
        if ((mode == QIcon::Active || mode == QIcon::Selected) && FActiveColor.isValid())
            color = FActiveColor;
        Render(*painter, rect, Coloured(FSvg, color), mode == QIcon::Disabled ? 0.4 : 1.0);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.fill(Qt::transparent);
        pixmap.setDevicePixelRatio(scale);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    }

    QIconEngine* clone() const override { return new TSvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("nimbulon-svg"); }
    bool isNull() override { return FSvg.isEmpty(); }

private:
    QByteArray FSvg;
    QColor FColor;
    QColor FActiveColor;
};

} // namespace

QIcon SvgIcon(const QString& name, const QColor& color, const QColor& activeColor)
{
    return QIcon(new TSvgIconEngine(Drawing(name), color, activeColor));
}

QPixmap SvgPixmap(const QString& name, const QSize& size, qreal devicePixelRatio,
                  const QColor& color)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Render(painter, QRectF(QPointF(0, 0), QSizeF(size)), Coloured(Drawing(name), color), 1.0);
    return pixmap;
}
