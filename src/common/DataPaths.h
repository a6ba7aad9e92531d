#pragma once

#include <QString>

// Where the program keeps its files: Config.ini, Postaje.xml, the picture folder,
// the last good feeds and the settings store.
namespace pas_lib {

// Folder of pictures and videos, ending in a path separator.
extern QString SlikeDir;
// Folder of the feeds of the last refresh that brought them, ending in a path
// separator; a cache beside the picture folder.
extern QString PodatkiDir;
// The station catalogue.
extern QString PostajeXmlPath;
// The settings file.
extern QString ConfigIniPath;

// Fills the values above once per process (a counter guards a second run).
// argv0 helps to find the executable's folder where /proc is not available.
void InitializePaths(const char* argv0 = nullptr);
// Computes the values again, for tests that change NIMBULON_HOME.
void RecomputePaths();

// The folder named by NIMBULON_HOME, or an empty string when it is not set.
QString HomeOverride();
// The folder of the running executable, with a trailing separator.
QString ExecutableDir();
// A short tag that keeps per-user objects of different data folders apart:
// empty without NIMBULON_HOME, otherwise "." and a hash of the folder.
QString DataFolderScope();

} // namespace pas_lib
