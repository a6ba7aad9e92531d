#include "weather/CurrentViewKind.h"

namespace pas_lib {

TViewKind CurrentViewKind = TViewKind::None;

} // namespace pas_lib
