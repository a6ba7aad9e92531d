#include "net/WaitWithMessages.h"

#include "common/Desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

void WaitWithMessages(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    // A timer may fire early by a millisecond; wait out what is left.
    // Looks at least every 100 ms whether the program is to end, so that a
    // long wait at start-up does not hold up a log-off.
    constexpr qint64 slice = 100;
    while (clock.elapsed() < milliseconds && !pas_lib::ProgramEndRequested()) {
        QEventLoop loop;
        QTimer::singleShot(int(std::min(slice, milliseconds - clock.elapsed())), Qt::PreciseTimer,
                           &loop, &QEventLoop::quit);
        loop.exec();
    }
}
