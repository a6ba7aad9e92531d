#pragma once

#include <QString>
#include <QThread>

class THttpClient;

// Downloads one address into one file on a thread of its own, as the built-in
// client of Fetch does (whatever DOWNLOAD_API says), then frees itself. Creating
// it starts it; it reports nothing and fails silently, leaving no file.
class TDownLoad : public QThread
{
    Q_OBJECT
public:
    TDownLoad(const QString& fileName, const QString& address, int slot);

    // Stops every worker still running, waits for them and deletes every
    // worker; the program calls this before it ends.
    static void CancelAll();
    // Workers that have not yet ended.
    static int RunningCount();
    // Workers not yet deleted, running or not.
    static int WorkerCount();

protected:
    void run() override;

private:
    ~TDownLoad() override;

    int FSlot;
    QString FFileName;
    QString FAddress;
    THttpClient* FClient = nullptr; // guarded by the registry's lock
};
