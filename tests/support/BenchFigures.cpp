#include "BenchFigures.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>

double Median(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.isEmpty() ? 0 : samples[samples.size() / 2];
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void RunUntil(const std::function<bool()>& done, int pollMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(pollMs);
    if (!done())
        loop.exec();
}
