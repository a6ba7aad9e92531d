#pragma once

namespace pas_lib {

// Puts the process-wide values that a start-up builds anew back to how a fresh
// process has them: the view kind, the current conditions, the sun times, the
// remote settings with the mirror table. The main window's start-up and the
// tests call it; nothing else may.
void ResetProcessState();

} // namespace pas_lib
