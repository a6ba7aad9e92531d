// Compiled into every test: blocks that the media libraries keep for the life
// of the process once a media player has been made (GLib's and PulseAudio's
// one-time allocations), which are not the program's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libglib-2.0.so\nleak:libpulse.so\nleak:vasprintf\n";
}
