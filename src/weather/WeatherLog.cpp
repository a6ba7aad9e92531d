#include "weather/WeatherLog.h"

Q_LOGGING_CATEGORY(lcWeather, "nimbulon.weather")
