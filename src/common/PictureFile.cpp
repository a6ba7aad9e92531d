#include "common/PictureFile.h"

#include <QImageReader>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPicture, "nimbulon.pictures", QtInfoMsg)

namespace pas_lib {

void LimitPictureDecoding()
{
    QImageReader::setAllocationLimit(PictureAllocationLimitMiB);
}

bool PictureSizeAllowed(const QSize& size)
{
    return size.isValid() && size.width() > 0 && size.height() > 0 &&
           size.width() <= MaxPictureSide && size.height() <= MaxPictureSide &&
           qint64(size.width()) * size.height() <= MaxPicturePixels;
}

QSize PictureFileSize(const QString& fileName)
{
    QImageReader reader(fileName);
    return reader.canRead() ? reader.size() : QSize();
}

QImage ReadPicture(const QString& fileName)
{
    QImageReader reader(fileName);
    const QSize size = reader.size();
    if (!PictureSizeAllowed(size)) {
        qCDebug(lcPicture) << "Picture refused:" << fileName << size;
        return {};
    }
    QImage picture = reader.read();
    if (picture.isNull())
        qCDebug(lcPicture) << "Picture not decoded:" << fileName << reader.errorString();
    return picture;
}

bool PictureIsAnimated(const QString& fileName)
{
    QImageReader reader(fileName);
    return reader.supportsAnimation() && reader.imageCount() != 1;
}

} // namespace pas_lib
