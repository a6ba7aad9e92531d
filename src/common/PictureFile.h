#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Pictures come from servers: a file is hostile until it has decoded within
// limits. A picture whose declared size is beyond them is refused before any
// pixel memory is taken, and no decoder may take more than a fixed amount.
namespace pas_lib {

// The largest side and the most pixels a picture of the program may have.
constexpr int MaxPictureSide = 8192;
constexpr qint64 MaxPicturePixels = 16LL * 1024 * 1024;
// What one decoded picture may take, in MiB (QImageReader's limit).
constexpr int PictureAllocationLimitMiB = 128;

// Sets the decoders' allocation limit for the whole process; once, at start
// and in tests.
void LimitPictureDecoding();
// Whether a declared size is one to decode at all.
bool PictureSizeAllowed(const QSize& size);
// The declared size of a picture file, without decoding it; invalid when the
// file is not a picture.
QSize PictureFileSize(const QString& fileName);
// Decodes a picture file (its first frame); a null image when it does not
// decode or declares a size beyond the limits.
QImage ReadPicture(const QString& fileName);
// Whether the file is a picture of several frames (an animated GIF).
bool PictureIsAnimated(const QString& fileName);

} // namespace pas_lib
