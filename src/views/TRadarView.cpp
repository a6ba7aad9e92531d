#include "views/TRadarView.h"

#include "common/DataPaths.h"
#include "net/Fetch.h"
#include "net/TDownLoad.h"
#include "settings/Tparameter.h"
#include "views/TPictureContext.h"
#include "views/ViewTable.h"
#include "views/ViewsLog.h"
#include "weather/PictureSources.h"

#include <QDir>
#include <QFile>
#include <QPointer>

TRadarView::TRadarView(TPictureContext& context, QWidget* parent)
    : TImagePanel(parent), FContext(context),
      FCancellation(std::make_unique<pas_lib::TCancellation>())
{
    setObjectName(QStringLiteral("suiImagePanel1"));
    setProperty("panelTag", PanelTag::Radar);
}

TRadarView::~TRadarView()
{
    FCancellation->Cancel();
}

void TRadarView::Stop()
{
    FCancellation->Cancel();
    FCancellation.release()->deleteLater();
    FCancellation = std::make_unique<pas_lib::TCancellation>();
}

QCoro::Task<> TRadarView::ShowRadarPicture(bool animated, bool force, bool background)
{
    if (!parametri || !parametri->Get(TParam::SLIKA_PADAVINE).toBool())
        co_return;
    if (!QDir().mkpath(pas_lib::SlikeDir))
        co_return;
    const TPictureSource& source = animated ? Pictures::RadarAnimated : Pictures::RadarStill;
    const QString path = PicturePath(source);
    const bool fresh = PictureFresh(source, FContext.MainFeed());
    if (background) {
        if (!fresh) {
            qCDebug(lcViews) << "Radar picture stale; downloading in the background";
            new TDownLoad(path, PictureAddress(source), source.slot);
        }
        co_return;
    }
    std::optional<TBusyScope> busy;
    if (animated)
        busy.emplace(FContext);
    if (fresh && !force && QFile::exists(path)) {
        const bool loaded = LoadFile(path);
        qCDebug(lcViews) << "Radar picture" << source.fileName << "from its file:" << loaded;
        co_return;
    }
    // The user waits for the download: the window shows that it works.
    if (!busy)
        busy.emplace(FContext);
    const pas_lib::TCancellation* cancellation = FCancellation.get();
    const QPointer<TRadarView> self(this);
    const int result =
        co_await Fetch(PictureAddress(source), path, nullptr, source.slot, cancellation);
    if (!self || cancellation->Cancelled())
        co_return;
    qCDebug(lcViews) << "Radar picture" << source.fileName << "fetched:" << result;
    if (result >= -1)
        LoadFile(path);
    else
        Clear();
}
