#pragma once

#include "common/Awaiting.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <atomic>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// Time-outs and the size cap that every request of the program obeys. A
// server that keeps a transfer alive with a byte now and then must not hold
// the program for ever: a whole transfer has a deadline, and a body that
// arrives slower than a minimum rate is given up. Zero or less switches a
// limit off.
struct THttpLimits
{
    int ConnectTimeoutMs = 15000; // until the request is on its way
    int ReadTimeoutMs = 30000;    // between two pieces of received data
    qint64 MaxBodyBytes = 32 * 1024 * 1024;
    int DeadlineMs = 120000;      // a whole document or picture request
    int VideoDeadlineMs = 600000; // a whole video request
    qint64 MinBytesPerSecond = 100;
    int RateWindowMs = 30000; // the rate is averaged over each such window of the body
};
// The limits in force; tests shorten them.
THttpLimits HttpLimits();
void SetHttpLimits(const THttpLimits& limits);

// How a client is set up.
struct THttpClientSetup
{
    QString UserAgent; // empty: the library's own
    QString ProxyHost; // empty: no proxy
    quint16 ProxyPort = 0;
    QString ProxyUser; // empty: no credentials
    QString ProxyPassword;
    bool SystemProxy = false;     // follow the system's proxy configuration instead
    bool FollowRedirects = false; // otherwise a redirect is a failure
};

// The built-in client's setup from the parameters: a browser user-agent, the
// proxy and its Basic credentials. Safe from any thread.
THttpClientSetup BuiltInClientSetup();
// The second client, which follows the system's proxy settings and redirects.
THttpClientSetup SystemClientSetup();

// What a request fetches, which sets its deadline.
enum class TTransferKind {
    Document, // documents and pictures
    Video,
};

struct THttpResponse
{
    bool Ok = false;
    int Status = 0;
    QByteArray Body;
    QDateTime LastModified; // invalid when the server sent none
    QString Error;
};

// An HTTP client for one thread, whose requests are awaited: the thread's
// events run meanwhile. Each instance has its own connections and no cookies.
// A request given a cancellation ends as a failure when it is cancelled.
class THttpClient
{
public:
    explicit THttpClient(const THttpClientSetup& setup);
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    QCoro::Task<THttpResponse> Head(QUrl url, const pas_lib::TCancellation* cancellation = nullptr,
                                    TTransferKind kind = TTransferKind::Document);
    QCoro::Task<THttpResponse> Get(QUrl url, const pas_lib::TCancellation* cancellation = nullptr,
                                   TTransferKind kind = TTransferKind::Document);

    // Ends the request in progress, and every later one, as a failure. Safe
    // from any thread while the client lives.
    void Abort();

private:
    QCoro::Task<THttpResponse> Run(QUrl url, bool head, const pas_lib::TCancellation* cancellation,
                                   TTransferKind kind);

    THttpClientSetup FSetup;
    QNetworkAccessManager* FManager;
    QObject* FContext; // lives in the client's thread; aborts arrive through it
    std::atomic<bool> FAborted{false};
    QPointer<QNetworkReply> FReply;
};
