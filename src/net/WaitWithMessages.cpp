#include "net/WaitWithMessages.h"

#include "app/Desktop.h"

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
    // An event loop returns at once after the program was told to end.
    while (clock.elapsed() < milliseconds && !pas_lib::ProgramEndRequested()) {
        QEventLoop loop;
        QTimer::singleShot(int(milliseconds - clock.elapsed()), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}
