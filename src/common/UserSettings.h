#pragma once

#include <QSettings>
#include <memory>

// The per-user settings store (the registry's place on other systems): the
// company key "Korvalin" and the program's key "Korvalin/Nimbulon". With
// NIMBULON_HOME set, both live as files inside that folder.
std::unique_ptr<QSettings> OpenCompanySettings();
std::unique_ptr<QSettings> OpenProgramSettings();
