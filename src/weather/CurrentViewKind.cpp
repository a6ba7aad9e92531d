#include "weather/CurrentViewKind.h"

namespace pas_lib {

int CurrentViewKind = 0;

} // namespace pas_lib
