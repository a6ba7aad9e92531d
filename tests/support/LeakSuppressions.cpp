// Compiled into every test: blocks that the media libraries keep for the life
// of the process once a media player has been made (GLib's and PulseAudio's
// one-time allocations), which are not the program's. GLib's strings are made
// by libc's vasprintf, and libc has no frame pointers: the fast unwinder stops
// there, so they are matched by that name (libc6-dbg supplies it).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libglib-2.0.so\nleak:libpulse.so\nleak:vasprintf\n";
}
