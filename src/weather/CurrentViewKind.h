#pragma once

#include "weather/ViewKinds.h"

namespace pas_lib {

// The view the main window shows; None until the first view is chosen. The
// About page leaves it as it is. It lives in the core because the feed reader
// picks its text pane by it.
extern TViewKind CurrentViewKind;

} // namespace pas_lib
