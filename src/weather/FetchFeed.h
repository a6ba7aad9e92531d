#pragma once

#include <QBuffer>
#include <QString>

// The two feed documents of the last refresh, kept in memory until the next one.
struct TFeeds
{
    QBuffer MainFeed;   // "podatki.xml"
    QBuffer SecondFeed; // "podatkiOstalo.xml"
};

// The folder part of a mirror's feed address: the name "podatki.xml" and up to
// 99 characters from it on are removed; an address without it stays whole.
QString FeedBaseAddress(const QString& feedAddress);

// Empties both documents and downloads them from a mirror picked by weight;
// without a known mirror both stay empty. Failures leave a document empty.
void FetchFeed(TFeeds& feeds);

// The change stamp of a kind (1 "SlikaJutri" ... 6 "Vreme4Dni") as the main
// feed states it, undecoded; empty when absent or the feed does not parse.
QString ChangeStamp(const QByteArray& mainFeed, int kind);
