#pragma once

#include "common/Awaiting.h"
#include "common/XmlDocument.h"

#include <QDateTime>
#include <QString>

// Which feeds a receipt took in.
struct TFeedsTaken
{
    bool Main = false;
    bool Second = false;
};

// The two feed documents of the last refresh that brought them, kept in memory
// until a newer one parses: as received, and parsed once, which every section
// load of the refresh and every view shown until then reads.
struct TFeeds
{
    QByteArray MainFeed;   // "podatki.xml"
    QByteArray SecondFeed; // "podatkiOstalo.xml"
    pas_lib::TXmlDocument MainDocument;
    pas_lib::TXmlDocument SecondDocument;
    // Counts the documents' changes, so that loads from them can be skipped
    // while both they and the tables they filled stay the same.
    quint64 Generation = 0;
    // When each document was received.
    QDateTime MainReceived;
    QDateTime SecondReceived;

    // Takes feeds received at the given times. Each that parses replaces its
    // bytes, document and time; one that does not (a failed download, or not
    // well-formed XML, or larger, deeper or with more elements than a feed may
    // have) leaves the last good one in place, as it leaves the tables.
    TFeedsTaken Receive(const QByteArray& main, const QDateTime& mainReceived,
                        const QByteArray& second, const QDateTime& secondReceived);
    // The documents are known to be current now, though nothing new came.
    void Confirm(const QDateTime& now);
    // Empties the feeds and the documents, as at start.
    void Release();
};

// The folder part of a mirror's feed address: the name "podatki.xml" and up to
// 99 characters from it on are removed; an address without it stays whole.
QString FeedBaseAddress(const QString& feedAddress);

// Downloads both feeds from a mirror picked by weight and takes them in; a feed
// that fails, or every feed without a known mirror, keeps the last good one.
// The feeds must live until it is done.
QCoro::Task<TFeedsTaken> FetchFeed(TFeeds& feeds,
                                   const pas_lib::TCancellation* cancellation = nullptr);

// The change stamp of a kind (1 "SlikaJutri" ... 6 "Vreme4Dni") as the main
// feed states it, undecoded; empty when absent or the feed does not parse.
QString ChangeStamp(const pas_lib::TXmlDocument& mainFeed, int kind);
