#include "weather/CurrentConditions.h"

namespace pas_lib {

std::array<CurrentConditions, StationKindCount> currentConditions;

} // namespace pas_lib
