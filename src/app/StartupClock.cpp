#include "app/StartupClock.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <ctime>
#include <unistd.h>

qint64 MillisecondsSinceProcessStart()
{
    // Field 22 of /proc/self/stat: the start in clock ticks after boot. The
    // command name (field 2) may hold blanks, so count from its closing bracket.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    if (end < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(end + 2).split(' ');
    // Fields after the name start at field 3.
    constexpr int StartTimeIndex = 22 - 3;
    bool ok = false;
    const qint64 startTicks = fields.value(StartTimeIndex).toLongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return nowMs - startTicks * 1000 / ticksPerSecond;
}
