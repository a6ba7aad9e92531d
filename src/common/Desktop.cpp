#include "common/Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QMutex>
#include <QUrl>
#include <atomic>

Q_LOGGING_CATEGORY(lcDesktop, "nimbulon.app.desktop", QtInfoMsg)

namespace pas_lib {

namespace {
QMutex openerLock;
std::function<bool(const QString&)> opener;
std::atomic<bool> endRequested{false};
} // namespace

bool IsWebAddress(const QString& address)
{
    constexpr qsizetype maxLength = 2000;
    if (address.isEmpty() || address.size() > maxLength)
        return false;
    for (const QChar ch : address)
        if (ch.unicode() <= 0x20 || ch.unicode() == 0x7F || ch.isSpace() ||
            ch.category() == QChar::Other_Control || ch.category() == QChar::Other_Format)
            return false;
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool OpenWebAddress(const QString& address, bool allowMail)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
                           !(allowMail && scheme == QLatin1String("mailto")))) {
        qCInfo(lcDesktop) << "Not opening" << address;
        return false;
    }
    std::function<bool(const QString&)> current;
    {
        QMutexLocker locker(&openerLock);
        current = opener;
    }
    if (current)
        return current(url.toString());
    return QDesktopServices::openUrl(url);
}

void SetWebAddressOpener(std::function<bool(const QString&)> newOpener)
{
    QMutexLocker locker(&openerLock);
    opener = std::move(newOpener);
}

void RequestProgramEnd()
{
    endRequested = true;
    if (!QCoreApplication::instance())
        return;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

bool ProgramEndRequested()
{
    return endRequested;
}

void ResetProgramEndRequest()
{
    endRequested = false;
}

} // namespace pas_lib
