#pragma once

#include <QBuffer>
#include <QImage>
#include <QWidget>
#include <memory>

class QMovie;

// The advertising strip (suiReklame with ImgReklama1): a picture over a drawn
// placeholder banner. A picture larger than the strip is scaled down with its
// aspect kept; a smaller one stands at its natural size at the top left. An
// animated GIF plays while the strip is in sight.
class TAdvertisingStrip : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StripWidth = 390;
    static constexpr int StripHeight = 50;
    static constexpr int MaxPictureSide = 4096;

    explicit TAdvertisingStrip(QWidget* parent = nullptr);
    ~TAdvertisingStrip() override;

    // Shows a picture of the format ("GIF", "JPEG"); anything else, or a
    // picture that does not decode, leaves the placeholder. Empty: cleared.
    void SetPicture(const QByteArray& picture, const QByteArray& format);
    bool HasPicture() const;
    // Where the picture stands in the strip; empty without one.
    QRect PictureRect() const;
    QMovie* Movie() const { return FMovie.get(); }

signals:
    // A click on the picture, and one beside it on the strip.
    void pictureClicked();
    void stripClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Clear();
    void PaintPlaceholder(QPainter& painter) const;
    QSize PictureSize() const;

    QByteArray FBytes;
    QBuffer FBuffer;
    std::unique_ptr<QMovie> FMovie;
    QImage FImage;
};
