#pragma once

#include <QObject>

// Application-wide: every notch of the mouse wheel becomes an Up (away from the
// user) or Down key press for the focused widget, so the wheel moves the grid's
// row or the text's caret one line at a time.
class TWheelToArrowKeys : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int FPending = 0; // wheel units not yet a whole notch
};
