#pragma once

#include <QString>

// Addresses of the program's servers: compiled-in defaults, each overridable in
// section "URL" of Config.ini (which also caches the addresses the servers send).
enum class TServer {
    ClientEntry,    // "Nastavitve": the remote settings request, updated by the servers
    StaticSettings, // "StaticneNastavitve": the static settings document
    Advertising,    // "Reklame": the advertising list, updated by the servers
    Charts,         // "Grafi"
    Video,          // "Video"
    Search,         // "Iskalnik"
    Forum,          // "Forum"
    // ARSO's open data, which the program reads itself when no deployment is
    // configured: "Arso" (meteorological files) and "ArsoVode" (water levels).
    Arso,
    ArsoWater,
};

QString ServerAddress(TServer server);
// The key of section "URL" that holds the address.
QString ServerAddressKey(TServer server);
QString DefaultServerAddress(TServer server);
