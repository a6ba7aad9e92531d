#pragma once

#include <QDateTime>
#include <QString>

struct TFeeds;
struct TFeedsTaken;

// The feeds of the last refresh that brought them, kept in the data folder so
// that a start without the network shows the last known conditions at once.

// Writes the feeds just taken in, atomically, each under its own name; a feed
// that failed keeps the file of an earlier refresh, and with it its time.
void StoreFeeds(const TFeeds& feeds, const TFeedsTaken& taken);

// Reads the stored feeds into the buffers and parses them as downloaded ones
// are; each document takes its file's time as its time of receipt. A missing,
// oversized, truncated or corrupt file gives an empty document. True when at
// least one feed parsed.
bool ReadStoredFeeds(TFeeds& feeds);

// "podatki od 9.12. 22:00" for data received more than two refresh intervals
// before now (with the year when it was another); empty for newer data and for
// none at all.
QString DataAgeNote(const QDateTime& received, int intervalMinutes, const QDateTime& now);
