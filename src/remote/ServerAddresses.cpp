#include "remote/ServerAddresses.h"

#include "settings/Tparameter.h"

QString ServerAddressKey(TServer server)
{
    switch (server) {
    case TServer::ClientEntry:
        return QStringLiteral("Nastavitve");
    case TServer::StaticSettings:
        return QStringLiteral("StaticneNastavitve");
    case TServer::Advertising:
        return QStringLiteral("Reklame");
    case TServer::Charts:
        return QStringLiteral("Grafi");
    case TServer::Video:
        return QStringLiteral("Video");
    case TServer::Search:
        return QStringLiteral("Iskalnik");
    case TServer::Forum:
        return QStringLiteral("Forum");
    }
    return {};
}

QString DefaultServerAddress(TServer server)
{
    switch (server) {
    case TServer::ClientEntry:
        return QStringLiteral("http://nastavitve.nimbulon.si/cliententer.asp");
    case TServer::StaticSettings:
        return QStringLiteral("http://nastavitve.nimbulon.si/nastavitve.xml");
    case TServer::Advertising:
        return QString();
    case TServer::Charts:
        return QStringLiteral("http://grafi.nimbulon.si");
    case TServer::Video:
        return QStringLiteral("http://video.nimbulon.si");
    case TServer::Search:
        return QStringLiteral("http://www.nimbulon.si/iskalnik");
    case TServer::Forum:
        return QStringLiteral("http://forum.nimbulon.si");
    }
    return {};
}

QString ServerAddress(TServer server)
{
    return ConfigIniValue(TIniMode::Read, ServerAddressKey(server), DefaultServerAddress(server),
                          QStringLiteral("URL"));
}
