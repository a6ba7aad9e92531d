#include "net/HttpClient.h"

#include "net/UserAgents.h"
#include "settings/Tparameter.h"

#include <QAuthenticator>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QTimer>
#include <algorithm>
#include <chrono>

Q_LOGGING_CATEGORY(lcHttp, "nimbulon.net", QtInfoMsg)

namespace {

QMutex limitsLock;
THttpLimits limits;

// Proxies from the system's configuration, for the second client only.
class TSystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

QString TextParameter(TParam parameter)
{
    return parametri ? parametri->Get(parameter).toString() : QString();
}

} // namespace

THttpLimits HttpLimits()
{
    QMutexLocker locker(&limitsLock);
    return limits;
}

void SetHttpLimits(const THttpLimits& newLimits)
{
    QMutexLocker locker(&limitsLock);
    limits = newLimits;
}

THttpClientSetup BuiltInClientSetup()
{
    THttpClientSetup setup;
    setup.UserAgent = PickUserAgent();
    setup.ProxyHost = TextParameter(TParam::PROXY_SERVER);
    setup.ProxyPort = quint16(parametri ? parametri->Get(TParam::PROXY_PORT).toInt() : 0);
    setup.ProxyUser = TextParameter(TParam::PROXY_USER);
    if (!setup.ProxyUser.isEmpty())
        setup.ProxyPassword = TextParameter(TParam::PROXY_PWD);
    return setup;
}

THttpClientSetup SystemClientSetup()
{
    THttpClientSetup setup;
    setup.SystemProxy = true;
    setup.FollowRedirects = true;
    return setup;
}

THttpClient::THttpClient(const THttpClientSetup& setup)
    : FSetup(setup), FManager(new QNetworkAccessManager), FContext(new QObject)
{
    if (FSetup.SystemProxy) {
        FManager->setProxyFactory(new TSystemProxyFactory);
    } else if (!FSetup.ProxyHost.isEmpty()) {
        // Credentials matter only with a proxy; without one they go nowhere.
        FManager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, FSetup.ProxyHost,
                                         FSetup.ProxyPort, FSetup.ProxyUser, FSetup.ProxyPassword));
    } else {
        FManager->setProxy(QNetworkProxy::NoProxy);
    }
    FManager->setCookieJar(nullptr);
    FManager->setAutoDeleteReplies(false);
    // A proxy that refuses the credentials is a failure, not a question to the user.
    QObject::connect(FManager, &QNetworkAccessManager::proxyAuthenticationRequired, FContext,
                     [](const QNetworkProxy&, QAuthenticator*) {});
}

THttpClient::~THttpClient()
{
    delete FReply.data();
    delete FManager;
    delete FContext;
}

void THttpClient::Abort()
{
    FAborted = true;
    QMetaObject::invokeMethod(
        FContext,
        [this] {
            if (FReply)
                FReply->abort();
        },
        Qt::QueuedConnection);
}

QCoro::Task<THttpResponse> THttpClient::Head(QUrl url, const pas_lib::TCancellation* cancellation,
                                             TTransferKind kind)
{
    return Run(std::move(url), true, cancellation, kind);
}

QCoro::Task<THttpResponse> THttpClient::Get(QUrl url, const pas_lib::TCancellation* cancellation,
                                            TTransferKind kind)
{
    return Run(std::move(url), false, cancellation, kind);
}

QCoro::Task<THttpResponse> THttpClient::Run(QUrl url, bool head,
                                            const pas_lib::TCancellation* cancellation,
                                            TTransferKind kind)
{
    THttpResponse response;
    if (FAborted || (cancellation && cancellation->Cancelled())) {
        response.Error = QStringLiteral("aborted");
        co_return response;
    }
    // Only the web: an address from a server never reads local files or other schemes.
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        response.Error = QStringLiteral("not a web address");
        co_return response;
    }
    const THttpLimits current = HttpLimits();

    QNetworkRequest request(url);
    if (!FSetup.UserAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, FSetup.UserAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         FSetup.FollowRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                : QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    QNetworkReply* reply = head ? FManager->head(request) : FManager->get(request);
    FReply = reply;
    QTimer connectTimer;
    QTimer readTimer;
    connectTimer.setSingleShot(true);
    readTimer.setSingleShot(true);
    QString failure;
    auto fail = [&](const QString& why) {
        if (failure.isEmpty())
            failure = why;
        reply->abort();
    };
    QObject::connect(&connectTimer, &QTimer::timeout, reply,
                     [&] { fail(QStringLiteral("connect time-out")); });
    QObject::connect(&readTimer, &QTimer::timeout, reply,
                     [&] { fail(QStringLiteral("read time-out")); });

    // One timer watches the whole transfer: it wakes at the deadline and at the
    // end of each rate window, and lives only as long as the request.
    const int deadlineMs =
        kind == TTransferKind::Video ? current.VideoDeadlineMs : current.DeadlineMs;
    const QDeadlineTimer deadline =
        deadlineMs > 0 ? QDeadlineTimer(deadlineMs, Qt::PreciseTimer) : QDeadlineTimer::Forever;
    const bool rateWatched = current.MinBytesPerSecond > 0 && current.RateWindowMs > 0;
    const qint64 windowMinimum = current.MinBytesPerSecond * current.RateWindowMs / 1000;
    QDeadlineTimer windowEnd = QDeadlineTimer::Forever; // armed when the body begins
    qint64 received = 0;
    qint64 windowStart = 0;
    QTimer watchTimer;
    watchTimer.setSingleShot(true);
    watchTimer.setTimerType(Qt::PreciseTimer);
    auto rearmWatch = [&] {
        const QDeadlineTimer next = std::min(deadline, windowEnd);
        if (next.isForever())
            watchTimer.stop();
        else
            watchTimer.start(std::chrono::milliseconds(std::max<qint64>(next.remainingTime(), 0)));
    };
    QObject::connect(&watchTimer, &QTimer::timeout, reply, [&] {
        if (deadline.hasExpired()) {
            fail(QStringLiteral("deadline"));
            return;
        }
        if (windowEnd.hasExpired()) {
            if (received - windowStart < windowMinimum) {
                fail(QStringLiteral("minimum rate"));
                return;
            }
            windowStart = received;
            windowEnd.setRemainingTime(current.RateWindowMs, Qt::PreciseTimer);
        }
        rearmWatch();
    });
    // The connect time-out runs until the request has been sent, the read
    // time-out from then on between two pieces of data.
    QObject::connect(reply, &QNetworkReply::requestSent, reply, [&] {
        connectTimer.stop();
        readTimer.start(current.ReadTimeoutMs);
    });
    auto dataArrived = [&] {
        if (!connectTimer.isActive())
            readTimer.start(current.ReadTimeoutMs);
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        dataArrived();
        // Until the head is complete the read time-out bounds the wait; the
        // rate is watched from the end of the head on.
        if (rateWatched && windowEnd.isForever()) {
            windowEnd.setRemainingTime(current.RateWindowMs, Qt::PreciseTimer);
            rearmWatch();
        }
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > current.MaxBodyBytes)
            fail(QStringLiteral("response too large"));
    });
    // After a followed redirect Qt at times still reports the redirect's own
    // Content-Length, so the length no longer describes the body.
    bool redirected = false;
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&] { redirected = true; });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        dataArrived();
        if (reply->bytesAvailable() + response.Body.size() > current.MaxBodyBytes) {
            fail(QStringLiteral("response too large"));
            return;
        }
        const qsizetype before = response.Body.size();
        response.Body += reply->readAll();
        received += response.Body.size() - before;
    });
    connectTimer.start(current.ConnectTimeoutMs);
    rearmWatch();

    if (!reply->isFinished() &&
        !co_await pas_lib::TSignalWait(reply, &QNetworkReply::finished, cancellation))
        fail(QStringLiteral("aborted"));
    connectTimer.stop();
    readTimer.stop();
    watchTimer.stop();
    if (FAborted && failure.isEmpty())
        failure = QStringLiteral("aborted");

    if (failure.isEmpty() && reply->bytesAvailable() > 0) {
        if (reply->bytesAvailable() + response.Body.size() > current.MaxBodyBytes)
            failure = QStringLiteral("response too large");
        else
            response.Body += reply->readAll();
    }
    // A connection reset in the middle of a body is at times reported as a
    // complete reply: a body shorter than its announced length is a failure.
    // (A compressed body is announced by its size on the wire.)
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (failure.isEmpty() && !head && !redirected && reply->error() == QNetworkReply::NoError &&
        announced.isValid() && reply->rawHeader("Content-Encoding").isEmpty() &&
        response.Body.size() < announced.toLongLong())
        failure = QStringLiteral("body shorter than its length");
    response.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant lastModified = reply->header(QNetworkRequest::LastModifiedHeader);
    if (lastModified.isValid())
        response.LastModified = lastModified.toDateTime();
    if (!failure.isEmpty() && failure != QLatin1String("aborted"))
        qCDebug(lcHttp) << "Request" << url.toDisplayString(QUrl::RemoveUserInfo) << "ended by"
                        << failure;
    if (!failure.isEmpty())
        response.Error = failure;
    else if (reply->error() != QNetworkReply::NoError)
        response.Error = reply->errorString();
    else if (response.Status < 200 || response.Status > 299)
        response.Error = QStringLiteral("HTTP status %1").arg(response.Status);
    response.Ok = response.Error.isEmpty();
    if (!response.Ok)
        response.Body.clear();
    FReply = nullptr;
    delete reply; // its signals have all been delivered by now
    co_return response;
}
