#pragma once

// The process entry: a later start notifies the running instance and ends with
// exit code 0; the first start builds the main window and runs the event loop.
int RunProgram(int argc, char** argv);
