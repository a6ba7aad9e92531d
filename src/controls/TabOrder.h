#pragma once

#include <QList>

class QWidget;

// Sets the Tab order region by region: every control of the first region that
// Tab stops at (the region itself included), then those of the second, and so
// on; within a region the order stays as it was. Controls hidden now keep
// their place for when they show.
void ChainTabOrder(const QList<QWidget*>& regions);

// The controls of a region that Tab stops at, in the current Tab order.
QList<QWidget*> TabStops(QWidget* region);
