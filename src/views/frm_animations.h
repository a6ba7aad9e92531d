#pragma once

#include "common/Awaiting.h"

#include <QAbstractButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class QMediaPlayer;
class QVideoWidget;
class TPictureContext;

// One weather video: its button, where the video server keeps it and the file
// of the picture folder it is stored in.
struct TAnimationVideo
{
    const char* button;
    const char* serverPath;
    const char* fileName;
    // What the button's picture says; also its accessible name.
    const char* caption;
};

// In the buttons' order: left and right column of the first row, then the
// second and the third row.
extern const std::array<TAnimationVideo, 6> AnimationVideos;

// A button of the animations view: its drawing carries the label.
class TVideoButton : public QAbstractButton
{
    Q_OBJECT
public:
    TVideoButton(int index, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FIndex;
};

// The animations view (FrameAnimations): six buttons, each downloading a weather
// video and playing it inside the frame; a click on the frame ends the video
// and brings the buttons back.
class TFrameAnimations : public QWidget
{
    Q_OBJECT
public:
    enum class TState {
        Buttons,     // the button menu
        Downloading, // a video downloads; the buttons stay
        Playing,     // a video plays or has played; the buttons are hidden
        Failed,      // the video could not be played; the buttons are hidden
    };
    Q_ENUM(TState)

    static constexpr const char* ReturnHint = "Klikni za vrnitev...";
    // A video that shows no picture in this time does not play.
    static constexpr int FirstPictureMilliseconds = 10000;

    // Only the buttons: the media player comes with Open().
    explicit TFrameAnimations(TPictureContext& context, QWidget* parent = nullptr);
    ~TFrameAnimations() override;

    // Creates the media player, the first time the view opens.
    void Open();
    bool Opened() const { return FPlayer != nullptr; }

    // A video button: downloads the video into its file and plays it. A click
    // while a download runs is ignored.
    QCoro::Task<> DownloadVideo(int index);
    QCoro::Task<> suiIBEvropa5Click() { return DownloadVideo(0); }
    QCoro::Task<> suiIBSvet5Click() { return DownloadVideo(1); }
    QCoro::Task<> suiIBZadnjih12Click() { return DownloadVideo(2); }
    QCoro::Task<> suiIBPrejsnjih12Click() { return DownloadVideo(3); }
    QCoro::Task<> suiIBPokritostClick() { return DownloadVideo(4); }
    QCoro::Task<> suiIBZracniTokClick() { return DownloadVideo(5); }
    // Hides the buttons and plays the file once in the frame.
    void PlayVideo(const QString& fileName);
    // Ends the video, closes the media and shows the buttons again.
    void FrameClick();
    // Ends a download that runs: nothing it brings plays. A playing video
    // plays on.
    void Stop();

    TState State() const { return FState; }
    QAbstractButton* Button(int index) const { return FButtons.value(index); }
    QMediaPlayer* Player() const { return FPlayer; }
    QVideoWidget* VideoWidget() const { return FVideo; }
    // The file of a video in the picture folder.
    static QString LocalFile(int index);

signals:
    void StateChanged(TFrameAnimations::TState state);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetState(TState state);
    void SetButtonsVisible(bool visible);
    void PlaceVideo();
    void MediaFailed(const QString& text);
    void WatchClicks(QObject* object);

    TPictureContext& FContext;
    std::unique_ptr<pas_lib::TCancellation> FCancellation;
    QWidget* FButtonGrid;
    QList<QAbstractButton*> FButtons;
    QMediaPlayer* FPlayer = nullptr;
    QVideoWidget* FVideo = nullptr;
    TState FState = TState::Buttons;
    // Whether the video playing has shown a picture yet.
    bool FPictureShown = false;
    QTimer FFirstPicture;
};
