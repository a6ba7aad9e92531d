#include "weather/ProcessState.h"

#include "remote/RemoteSettings.h"
#include "weather/CurrentConditions.h"
#include "weather/CurrentViewKind.h"
#include "weather/LoadFeedSection.h"

namespace pas_lib {

void ResetProcessState()
{
    CurrentViewKind = TViewKind::None;
    currentConditions = {};
    SunriseTime = 0.0;
    SunsetTime = 0.0;
    ResetRemoteSettings();
}

} // namespace pas_lib
