#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <Qt>
#include <map>
#include <utility>

class TDemoDeployment;
struct TFeeds;

// Puts feeds into memory as a refresh leaves them: received and parsed; one
// that does not parse leaves the one before.
void SetFeeds(TFeeds& feeds, const QByteArray& main, const QByteArray& second = QByteArray());
// Writes a file with a modification time of the test's choosing.
void WriteFile(const QString& fileName, const QByteArray& data, const QDateTime& modified);
// Gives an existing file a modification time of the test's choosing.
bool SetModified(const QString& fileName, const QDateTime& modified);
// A square PNG of one colour.
QByteArray PictureBytes(int side, Qt::GlobalColor colour);
// A GIF of a few bytes whose screen and picture say 30000 x 30000 pixels.
QByteArray HugeGif();

// The recorded ARSO files of samples/arso (full paths), each with the path
// ARSO serves it from; and one of them read whole.
QList<std::pair<QString, QString>> RecordedArsoFiles();
QByteArray RecordedArsoFile(const QString& name);

// Puts deployment files back when a test that changed them ends, passed or not.
class TRestoreFiles
{
public:
    TRestoreFiles(TDemoDeployment& demo, const QStringList& paths);
    ~TRestoreFiles();
    TRestoreFiles(const TRestoreFiles&) = delete;
    TRestoreFiles& operator=(const TRestoreFiles&) = delete;

private:
    TDemoDeployment& FDemo;
    std::map<QString, QByteArray> FSaved;
};
