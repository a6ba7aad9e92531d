#pragma once

#include <QtGlobal>

// Milliseconds since this process started (from the kernel's record of the
// start, so the time before main counts too); -1 where that is not known.
qint64 MillisecondsSinceProcessStart();
