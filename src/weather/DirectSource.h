#pragma once

#include "arso/StationCodes.h"
#include "common/Awaiting.h"
#include "weather/FetchFeed.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// The feeds made in the program from ARSO's own files, for a program that has
// no deployment configured (no "Nastavitve" in section "URL" of Config.ini).
// The files are fetched through the one fetch path, each only when its
// Last-Modified time says it changed, and converted as the feed builder does;
// then the refresh goes on as with downloaded feeds.

// True when Config.ini names no deployment.
bool DirectSourceChosen();

class TDirectSource
{
public:
    // Fetches what changed of ARSO's files, converts the last good copy of
    // each and takes the feeds in. The catalogue, when it changed, is written
    // to "Postaje.xml" for the next start, and the station codes beside the
    // stored feeds.
    QCoro::Task<TFeedsTaken> Fetch(TFeeds& feeds, const pas_lib::TCancellation* cancellation);

private:
    QHash<QString, QByteArray> FFiles;
    arso::TStationCodes FCodes;
    bool FCodesRead = false;
    // Whether the feeds hold what the files of FFiles make.
    bool FConverted = false;
};
