#include "remote/AdvertisingPlayer.h"

#include "net/Fetch.h"
#include "remote/RemoteLog.h"
#include "remote/RemoteSettings.h"

#include <QBuffer>
#include <QImageReader>
#include <QPointer>
#include <QTimer>

TAdvertisingPlayer::TAdvertisingPlayer(QObject* parent)
    : QObject(parent), tmPredvajanje(new QTimer(this)),
      FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    tmPredvajanje->setObjectName(QStringLiteral("tmPredvajanje"));
    tmPredvajanje->setSingleShot(true);
    connect(tmPredvajanje, &QTimer::timeout, this, [this] { tmPredvajanjeTimer(); });
}

TAdvertisingPlayer::~TAdvertisingPlayer()
{
    FCancellation->Cancel();
}

bool TAdvertisingPlayer::TimerActive() const
{
    return tmPredvajanje->isActive();
}

void TAdvertisingPlayer::Enable()
{
    FEnabled = true;
    // A display time of 0 keeps the entry: a 0 ms timer would fire at every
    // turn of the event loop instead.
    if (FInterval > 0)
        tmPredvajanje->start(FInterval);
    else
        tmPredvajanje->stop();
}

void TAdvertisingPlayer::Disable()
{
    FEnabled = false;
    tmPredvajanje->stop();
}

void TAdvertisingPlayer::SetAdvertising(bool on)
{
    FOn = on;
    if (on) {
        FInterval = 1000;
        Enable();
        return;
    }
    Disable();
    if (FStripShown != AdsActive) {
        FStripShown = AdsActive;
        emit StripShownChanged(FStripShown);
    }
}

QCoro::Task<> TAdvertisingPlayer::tmPredvajanjeTimer()
{
    Disable();
    // A load under way enables the player when it ends.
    if (!AdsActive || FLoading)
        co_return;
    FIndex = FIndex < FLast ? FIndex + 1 : 0;
    emit PictureChanged(QByteArray(), QByteArray());
    if (FIndex < FItems.size() && FItems.at(FIndex).picture) {
        const TAdItem& item = FItems.at(FIndex);
        emit PictureChanged(*item.picture, AdPictureFormat(item.pictureUrl));
        FInterval = item.displaySeconds * 1000;
        Enable();
        co_return;
    }
    co_await LoadAdvertisingList();
}

QCoro::Task<std::optional<QByteArray>> TAdvertisingPlayer::FetchPicture(QString address)
{
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    const int result = co_await Fetch(address, QString(), &stream, -1, FCancellation.get());
    if (result < 1)
        co_return std::nullopt;
    if (stream.size() > FLimits.maxPictureBytes) {
        qCDebug(lcRemote) << "Advertising picture too big:" << stream.size() << "bytes";
        co_return std::nullopt;
    }
    // A declared size beyond the strip's sense is refused before decoding.
    QBuffer picture(&stream.buffer());
    picture.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&picture).size();
    if (size.isValid() &&
        (size.width() > FLimits.maxPictureSide || size.height() > FLimits.maxPictureSide)) {
        qCDebug(lcRemote) << "Advertising picture too large:" << size;
        co_return std::nullopt;
    }
    co_return stream.data();
}

QCoro::Task<> TAdvertisingPlayer::LoadAdvertisingList()
{
    const int previousLast = FLast;
    const int previousIndex = FIndex;
    FLast = 0;
    FIndex = 0;
    if (!AdsActive || FLoading)
        co_return;
    FLoading = true;
    const QPointer<TAdvertisingPlayer> self(this);
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    // The list buffer is emptied before each load: a fetch appends.
    QBuffer list;
    list.open(QIODevice::ReadWrite);
    const int result = co_await Fetch(AdsUrl, QString(), &list, -1, cancellation);
    if (!self || cancellation->Cancelled())
        co_return;
    if (result <= 0) {
        qCDebug(lcRemote) << "Advertising list not loaded; the rotation pauses";
        FLoading = false;
        co_return;
    }
    if (!ReadAdvertisingList(list.data(), FItems, FLimits)) {
        // Not a list: the rotation goes on with the one it had.
        qCDebug(lcRemote) << "Advertising list is not XML; the previous one stays";
        FLast = previousLast;
        FIndex = previousIndex;
        FLoading = false;
        if (FOn)
            Enable();
        co_return;
    }
    for (TAdItem& item : FItems)
        item.picture.reset();
    for (qsizetype i = 0; i < FItems.size(); ++i) {
        std::optional<QByteArray> picture = co_await FetchPicture(FItems.at(i).pictureUrl);
        if (!self || cancellation->Cancelled())
            co_return;
        if (i < FItems.size())
            FItems[i].picture = std::move(picture);
    }
    FLast = int(FItems.size()) - 1;
    FLoading = false;
    qCDebug(lcRemote) << "Advertising list loaded:" << FItems.size() << "entries";
    if (FOn)
        Enable();
}

QString TAdvertisingPlayer::PictureClickAddress() const
{
    if (FEnabled && FIndex >= 0 && FIndex < FItems.size())
        return FItems.at(FIndex).clickUrl;
    return HomePageUrl;
}

QString TAdvertisingPlayer::PanelClickAddress() const
{
    return HomePageUrl;
}
