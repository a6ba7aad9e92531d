#include "net/WaitWithMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void WaitWithMessages(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    // A timer may fire early by a millisecond; wait out what is left.
    while (clock.elapsed() < milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(int(milliseconds - clock.elapsed()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}
