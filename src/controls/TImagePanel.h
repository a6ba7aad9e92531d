#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

class QMovie;

// A panel that shows one picture scaled smoothly to its size, keeping the
// picture's proportions and centred on the panel's background; an animated
// picture plays, looping as it says. Without a picture it shows only its
// background.
class TImagePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TImagePanel(QWidget* parent = nullptr);
    ~TImagePanel() override;

    // The picture shown: a still one, or the frame an animation shows now.
    const QImage& Picture() const { return FPicture; }
    void SetPicture(const QImage& picture);
    // Shows a picture file: a still picture, or an animated one that plays.
    // A file that does not decode within the picture limits leaves the panel
    // as it was and gives false.
    bool LoadFile(const QString& fileName);
    void Clear();
    // The animation playing, if any.
    QMovie* Movie() const { return FMovie.get(); }

signals:
    // A new picture or frame is shown.
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void StopMovie();

    QImage FPicture;
    std::unique_ptr<QMovie> FMovie;
};
