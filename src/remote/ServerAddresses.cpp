#include "remote/ServerAddresses.h"

#include "settings/Tparameter.h"

namespace {
struct TServerEntry
{
    const char* Key;     // in section "URL"
    const char* Default; // compiled in
};

// In the order of TServer.
constexpr TServerEntry servers[] = {
    {"Nastavitve", "http://nastavitve.nimbulon.si/cliententer.asp"},
    {"StaticneNastavitve", "http://nastavitve.nimbulon.si/nastavitve.xml"},
    {"Reklame", ""},
    {"Grafi", "http://grafi.nimbulon.si"},
    {"Video", "http://video.nimbulon.si"},
    {"Iskalnik", "http://www.nimbulon.si/iskalnik"},
    {"Forum", "http://forum.nimbulon.si"},
    {"Arso", "https://meteo.arso.gov.si/"},
    {"ArsoVode", "https://www.arso.gov.si/"},
};
static_assert(std::size(servers) == size_t(TServer::ArsoWater) + 1);
} // namespace

QString ServerAddressKey(TServer server)
{
    return QString::fromLatin1(servers[size_t(server)].Key);
}

QString DefaultServerAddress(TServer server)
{
    return QString::fromLatin1(servers[size_t(server)].Default);
}

QString ServerAddress(TServer server)
{
    return ConfigIniValue(TIniMode::Read, ServerAddressKey(server), DefaultServerAddress(server),
                          QStringLiteral("URL"));
}
