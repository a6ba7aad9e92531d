#pragma once

#include "common/Awaiting.h"
#include "common/XmlDocument.h"

#include <QBuffer>
#include <QString>

// The two feed documents of the last refresh, kept in memory until the next one:
// as received, and parsed once, which every section load of the refresh and
// every view shown until the next refresh reads.
struct TFeeds
{
    QBuffer MainFeed;   // "podatki.xml"
    QBuffer SecondFeed; // "podatkiOstalo.xml"
    pas_lib::TXmlDocument MainDocument;
    pas_lib::TXmlDocument SecondDocument;
    // Counts the documents' changes, so that loads from them can be skipped
    // while both they and the tables they filled stay the same.
    quint64 Generation = 0;

    // Parses both buffers into the documents. A feed that is not well-formed
    // XML, or larger, deeper or with more elements than a feed may have, gives
    // an empty document, as a failed download does.
    void Parse();
    // Empties the buffers and the documents, as at start.
    void Release();
};

// The folder part of a mirror's feed address: the name "podatki.xml" and up to
// 99 characters from it on are removed; an address without it stays whole.
QString FeedBaseAddress(const QString& feedAddress);

// Empties both documents and downloads them from a mirror picked by weight,
// then parses them; without a known mirror both stay empty. Failures leave a
// document empty. The feeds must live until it is done.
QCoro::Task<> FetchFeed(TFeeds& feeds, const pas_lib::TCancellation* cancellation = nullptr);

// The change stamp of a kind (1 "SlikaJutri" ... 6 "Vreme4Dni") as the main
// feed states it, undecoded; empty when absent or the feed does not parse.
QString ChangeStamp(const pas_lib::TXmlDocument& mainFeed, int kind);
