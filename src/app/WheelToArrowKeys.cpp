#include "app/WheelToArrowKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {
constexpr int Notch = 120;
} // namespace

bool TWheelToArrowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
    // A sideways wheel is not this wheel.
    if (delta == 0)
        return QObject::eventFilter(watched, event);
    // Fine-grained wheels and touchpads send parts of a notch.
    if ((delta > 0) != (FPending > 0))
        FPending = 0;
    FPending += delta;
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = static_cast<QWidget*>(watched);
    while (FPending >= Notch || FPending <= -Notch) {
        const bool up = FPending > 0;
        FPending += up ? -Notch : Notch;
        QKeyEvent press(QEvent::KeyPress, up ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, up ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
    return true;
}
