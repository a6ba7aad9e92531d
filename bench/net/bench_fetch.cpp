// Times sequential fetches from a loopback nginx: 200 files of 10 KiB and 200 of
// 1 MiB, into a file and into a memory stream. Prints one line per case.
// For figures without the sanitizers, build with -DNIMBULON_SANITIZE=OFF.
#include "Await.h"
#include "LoopbackServers.h"
#include "net/Fetch.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TNginxServer nginx;
    if (!nginx.Start()) {
        std::fprintf(stderr, "%s\n", qPrintable(nginx.Error()));
        return 1;
    }
    nginx.WriteFile(QStringLiteral("small.bin"), QByteArray(10 * 1024, 's'));
    nginx.WriteFile(QStringLiteral("large.bin"), QByteArray(1024 * 1024, 'l'));
    QTemporaryDir target;
    constexpr int count = 200;

    for (const char* name : {"small.bin", "large.bin"}) {
        for (const bool toFile : {true, false}) {
            QElapsedTimer clock;
            clock.start();
            qint64 bytes = 0;
            int failures = 0;
            for (int i = 0; i < count; ++i) {
                QBuffer stream;
                stream.open(QIODevice::ReadWrite);
                const int result =
                    Await(Fetch(nginx.Url(QString::fromLatin1(name)),
                                toFile ? target.filePath(QStringLiteral("out.bin")) : QString(),
                                toFile ? nullptr : &stream, -1));
                if (result < 0)
                    ++failures;
                else
                    bytes += result;
            }
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            std::printf("%-10s %-7s %d fetches: %9.1f ms total, %7.3f ms each, %8.1f MiB/s, "
                        "%d failed\n",
                        name, toFile ? "file" : "stream", count, ms, ms / count,
                        double(bytes) / (1024.0 * 1024.0) / (ms / 1000.0), failures);
        }
    }
    return 0;
}
