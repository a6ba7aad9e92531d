#include "TestFiles.h"

#include "DemoDeployment.h"
#include "weather/FetchFeed.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>

void SetFeeds(TFeeds& feeds, const QByteArray& main, const QByteArray& second)
{
    const QDateTime now = QDateTime::currentDateTime();
    feeds.Receive(main, now, second, now);
}

void WriteFile(const QString& fileName, const QByteArray& data, const QDateTime& modified)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.flush(); // a later write would move the time again
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

bool SetModified(const QString& fileName, const QDateTime& modified)
{
    // The time can be set only through an open file; appending keeps its bytes.
    QFile file(fileName);
    return file.exists() && file.open(QIODevice::Append) &&
           file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QByteArray PictureBytes(int side, Qt::GlobalColor colour)
{
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

TRestoreFiles::TRestoreFiles(TDemoDeployment& demo, const QStringList& paths) : FDemo(demo)
{
    for (const QString& path : paths)
        FSaved.emplace(path, demo.ReadFile(path));
}

TRestoreFiles::~TRestoreFiles()
{
    for (const auto& [path, data] : FSaved)
        FDemo.Server().WriteFile(path, data);
}

QByteArray HugeGif()
{
    QByteArray bytes("GIF89a");
    auto little = [&bytes](int value) {
        bytes.append(char(value & 0xFF));
        bytes.append(char(value >> 8));
    };
    little(30000);
    little(30000);
    bytes.append("\x80\x00\x00", 3);
    bytes.append("\x00\x00\x00\xFF\xFF\xFF", 6);
    bytes.append(',');
    little(0);
    little(0);
    little(30000);
    little(30000);
    bytes.append("\x00\x02\x02\x44\x01\x00\x3B", 7);
    return bytes;
}

namespace {
QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

QList<std::pair<QString, QString>> RecordedArsoFiles()
{
    const QString samples = QStringLiteral(NIMBULON_ARSO_SAMPLES "/");
    QList<std::pair<QString, QString>> files;
    for (const QByteArray& line :
         ReadWhole(samples + QStringLiteral("recorded-paths.txt")).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (!line.startsWith('#') && fields.size() == 2)
            files.append({samples + QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1])});
    }
    return files;
}

QByteArray RecordedArsoFile(const QString& name)
{
    for (const auto& [file, path] : RecordedArsoFiles())
        if (path.endsWith(QLatin1Char('/') + name))
            return ReadWhole(file);
    return {};
}
