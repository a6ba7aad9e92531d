#include "app/WindowPosition.h"

#include <QtEndian>
#include <limits>

namespace {

// Far beyond any real desktop: such values can only come from a broken store.
constexpr qint64 MaxCoordinate = 1 << 20;

void Put(QByteArray& bytes, int offset, qint32 value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

qint32 Take(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

qint64 DistanceSquared(const QRect& screen, const QPoint& point)
{
    const qint64 dx = point.x() < screen.left()    ? screen.left() - point.x()
                      : point.x() > screen.right() ? point.x() - screen.right()
                                                   : 0;
    const qint64 dy = point.y() < screen.top()      ? screen.top() - point.y()
                      : point.y() > screen.bottom() ? point.y() - screen.bottom()
                                                    : 0;
    return dx * dx + dy * dy;
}

} // namespace

QByteArray TWindowPosition::Encode() const
{
    QByteArray bytes(Size, '\0');
    Put(bytes, 0, Bounds.left());
    Put(bytes, 4, Bounds.top());
    Put(bytes, 8, Bounds.left() + Bounds.width());
    Put(bytes, 12, Bounds.top() + Bounds.height());
    bytes[16] = char(State);
    return bytes;
}

std::optional<TWindowPosition> TWindowPosition::Decode(const QByteArray& bytes)
{
    if (bytes.size() != Size)
        return std::nullopt;
    const qint64 left = Take(bytes, 0);
    const qint64 top = Take(bytes, 4);
    const qint64 right = Take(bytes, 8);
    const qint64 bottom = Take(bytes, 12);
    const quint8 state = quint8(bytes[16]);
    if (state > Maximized)
        return std::nullopt;
    const qint64 width = right - left;
    const qint64 height = bottom - top;
    for (qint64 value : {left, top, width, height})
        if (value < -MaxCoordinate || value > MaxCoordinate)
            return std::nullopt;
    if (width <= 0 || height <= 0)
        return std::nullopt;
    TWindowPosition position;
    position.Bounds = QRect(int(left), int(top), int(width), int(height));
    position.State = state;
    return position;
}

QRect FitOnScreens(const QRect& bounds, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return bounds;
    for (const QRect& screen : screens)
        if (screen.contains(bounds))
            return bounds;
    // The screen that holds most of the window, else the nearest to its middle.
    const QRect* best = nullptr;
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(bounds);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (!best) {
        qint64 nearest = std::numeric_limits<qint64>::max();
        for (const QRect& screen : screens) {
            const qint64 distance = DistanceSquared(screen, bounds.center());
            if (distance < nearest) {
                nearest = distance;
                best = &screen;
            }
        }
    }
    QRect fitted(bounds.topLeft(), bounds.size().boundedTo(best->size()));
    if (fitted.right() > best->right())
        fitted.moveRight(best->right());
    if (fitted.bottom() > best->bottom())
        fitted.moveBottom(best->bottom());
    if (fitted.left() < best->left())
        fitted.moveLeft(best->left());
    if (fitted.top() < best->top())
        fitted.moveTop(best->top());
    return fitted;
}
