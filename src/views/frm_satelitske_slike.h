#pragma once

#include "common/Awaiting.h"

#include <QWidget>
#include <memory>

class QButtonGroup;
class QComboBox;
class QToolButton;
class TImagePanel;
class TPictureContext;
class TRainRateLegend;

// The satellite view (FrameSateliskeSlike1): pictures of four kinds, eleven
// of each (0 the newest), chosen with the kind buttons, the zoom button and
// the list, and played as an animation from the oldest to the newest.
class TFrameSateliskeSlike : public QWidget
{
    Q_OBJECT
public:
    // The kind "current" of LoadSatellitePicture.
    static constexpr int CurrentKind = -1;
    static constexpr int FrameMilliseconds = 500;

    TFrameSateliskeSlike(TPictureContext& context, QWidget* parent = nullptr);
    ~TFrameSateliskeSlike() override;

    int SatKind() const { return FSatKind; }
    // 0 not enlarged ("[+]"), 1 enlarged ("[-]").
    int ZoomState() const;
    TImagePanel* Picture() const { return suiImagePanel; }
    QWidget* RainRateLegend() const;
    bool Animating() const { return FAnimating; }

    // Picture 0 of the current kind (the view's opening, the refresh command);
    // nothing while the view is switched off.
    QCoro::Task<> ShowSatellitePicture(bool force);
    // A picture of a kind (CurrentKind: the frame's own) from its file while
    // it is less than an hour old and force is off, else downloaded first.
    QCoro::Task<> LoadSatellitePicture(int kind, int number, bool force);
    // Downloads the eleven pictures of the current kind anew and shows them
    // from the oldest to the newest, half a second each, ending on picture 0;
    // a failed download stops it before it plays.
    QCoro::Task<> AnimateSatellite();
    // Ends what the frame awaits (downloads, the animation): nothing more is
    // shown.
    void Stop();

    // The handlers of the kind buttons, the zoom button and the list.
    void btnOblacnostClick();
    void btnPadavineClick();
    void btnCikloniClick();
    void btnZoomClick();
    void suiComboBoxChange(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows a picture file and the legend that belongs to the kind; false
    // when it does not decode (the panel is cleared then).
    bool ShowFile(const QString& path);
    void PlaceLegend();
    // Stops a running animation and gives the frame a new cancellation.
    void Restart();

    TPictureContext& FContext;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
    QToolButton* btnOblacnost;
    QToolButton* btnPadavine;
    QToolButton* btnCikloni;
    QToolButton* btnZoom;
    QButtonGroup* FKinds;
    QComboBox* suiComboBox;
    TImagePanel* suiImagePanel;
    TRainRateLegend* suiImagePanelRainRate;
    int FSatKind = 0;
    bool FAnimating = false;
    bool FSelecting = false;
};
