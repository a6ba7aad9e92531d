#pragma once

#include <QString>

// The folder of the program's per-user objects: the single-instance guard's
// shared blocks and the running instance's socket. Only the user may create
// entries in it, so no other user can take those names first and keep the
// program from starting, or answer in its place.
//
// It is $XDG_RUNTIME_DIR when that is a private folder (below); otherwise the
// folder "Nimbulon/run" in the user's cache folder, made private. Throws
// pas_lib::Exception when neither can be had.
QString PrivateRuntimeFolder();

// Whether path names a folder itself (not a symbolic link to one) that belongs
// to this user and that nobody else may read, write or enter (mode 0700).
bool IsPrivateFolder(const QString& path);
