#pragma once

#include "common/Awaiting.h"
#include "controls/TImagePanel.h"

#include <memory>

class TPictureContext;

// The precipitation radar view (suiImagePanel1): the still or the animated
// radar picture, fetched when the feed's change stamp shows the local copy
// stale, or in the background for later.
class TRadarView : public TImagePanel
{
    Q_OBJECT
public:
    TRadarView(TPictureContext& context, QWidget* parent = nullptr);
    ~TRadarView() override;

    // Shows the still or the animated picture: the local file while it is as
    // new as the server's copy and force is off, else downloaded first; a
    // failed download clears the panel. In the background it only downloads
    // a stale picture, on a worker of its own. Nothing while the view is
    // switched off.
    QCoro::Task<> ShowRadarPicture(bool animated, bool force, bool background);
    // Ends a download that is awaited: nothing more is shown.
    void Stop();

private:
    TPictureContext& FContext;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
};
