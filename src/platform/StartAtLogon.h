#pragma once

#include <QString>

// Starting the program when the user logs on, with the argument "/startup":
// on Linux desktops an XDG autostart entry, $XDG_CONFIG_HOME/autostart/
// nimbulon.desktop. Both return false when the entry cannot be written or
// removed.
bool SetStartAtLogon(bool enabled);
bool StartsAtLogon();
// Where the entry lies, and the command it runs.
QString StartAtLogonEntryPath();
QString StartAtLogonCommand();
