#include "controls/TImagePanel.h"

#include "common/PictureFile.h"

#include <QMovie>
#include <QPainter>

TImagePanel::TImagePanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
}

TImagePanel::~TImagePanel() = default;

void TImagePanel::SetPicture(const QImage& picture)
{
    StopMovie();
    FPicture = picture;
    update();
    emit pictureChanged();
}

void TImagePanel::Clear()
{
    SetPicture(QImage());
}

bool TImagePanel::LoadFile(const QString& fileName)
{
    if (!pas_lib::PictureIsAnimated(fileName)) {
        QImage picture = pas_lib::ReadPicture(fileName);
        if (picture.isNull())
            return false;
        SetPicture(picture);
        return true;
    }
    // The declared size is checked before the first frame is decoded; every
    // frame is decoded within the process's allocation limit.
    if (!pas_lib::PictureSizeAllowed(pas_lib::PictureFileSize(fileName)))
        return false;
    auto movie = std::make_unique<QMovie>(fileName);
    if (!movie->isValid() || !movie->jumpToFrame(0) || movie->currentImage().isNull() ||
        !pas_lib::PictureSizeAllowed(movie->currentImage().size()))
        return false;
    StopMovie();
    FMovie = std::move(movie);
    FPicture = FMovie->currentImage();
    // A frame that does not decode stops the animation on the last good one.
    connect(FMovie.get(), &QMovie::frameChanged, this, [this] {
        const QImage frame = FMovie->currentImage();
        if (frame.isNull())
            return;
        FPicture = frame;
        update();
        emit pictureChanged();
    });
    FMovie->start();
    update();
    emit pictureChanged();
    return true;
}

void TImagePanel::StopMovie()
{
    if (!FMovie)
        return;
    FMovie->disconnect(this);
    FMovie->stop();
    FMovie.reset();
}

void TImagePanel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (FPicture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF size = FPicture.size();
    size.scale(QSizeF(this->size()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    painter.drawImage(target, FPicture);
}
