#include "weather/TFourDayPicture.h"

#include "weather/WeatherLog.h"

#include <QImageReader>

bool TFourDayPicture::LoadFromFile(const QString& fileName)
{
    QImageReader reader(fileName);
    // The panel is small; a server's picture with absurd dimensions is refused
    // before any pixel memory is taken.
    constexpr int maxSide = 4096;
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > maxSide || size.height() > maxSide)) {
        qCDebug(lcWeather) << "Four-day picture too large:" << fileName << size;
        return false;
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        qCDebug(lcWeather) << "Four-day picture not decoded:" << fileName << reader.errorString();
        return false;
    }
    FPicture = std::move(picture);
    emit pictureChanged(FPicture);
    return true;
}
