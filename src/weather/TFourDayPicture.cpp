#include "weather/TFourDayPicture.h"

#include "common/PictureFile.h"
#include "weather/WeatherLog.h"

bool TFourDayPicture::LoadFromFile(const QString& fileName)
{
    QImage picture = pas_lib::ReadPicture(fileName);
    if (picture.isNull()) {
        qCDebug(lcWeather) << "Four-day picture not shown:" << fileName;
        return false;
    }
    FPicture = std::move(picture);
    emit pictureChanged(FPicture);
    return true;
}
