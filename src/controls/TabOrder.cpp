#include "controls/TabOrder.h"

#include <QWidget>

QList<QWidget*> TabStops(QWidget* region)
{
    QList<QWidget*> stops;
    QWidget* widget = region;
    do {
        if ((widget == region || region->isAncestorOf(widget)) &&
            (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            stops.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget && widget != region);
    return stops;
}

void ChainTabOrder(const QList<QWidget*>& regions)
{
    QWidget* previous = nullptr;
    for (QWidget* region : regions) {
        for (QWidget* stop : TabStops(region)) {
            if (previous)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}
