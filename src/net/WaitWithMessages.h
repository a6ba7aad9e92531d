#pragma once

// Waits at least this long while the window, the timers and the icon go on
// working; pending events are processed at least once, even for 0.
void WaitWithMessages(int milliseconds);
