#pragma once

// Ends the event loop cleanly when the process is asked to stop (SIGTERM at
// log-off, SIGINT, SIGHUP), so that settings are saved and shared objects released.
void QuitOnTerminationSignals();
