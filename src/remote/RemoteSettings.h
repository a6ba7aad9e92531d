#pragma once

#include "common/Awaiting.h"
#include "remote/ClientIdentity.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace pas_lib {
class TXmlDocument;
}

// What the once-a-day remote settings document told this process; kept until
// the next successful reading.
extern QDateTime LastRemoteRead; // invalid until the first successful reading
extern QString StationCatalogueUrl;
extern QString AdsUrl;
extern bool AdsActive;
extern QString HomePageUrl;
extern QString Proverb;

// The station codes for the advertising report, asked for when the report is
// built, so that it names the places chosen at that moment; none gives empty
// codes.
using TReportStationsSource = std::function<TReportStations()>;

// At most once a day (a failed request is repeated at every call until one
// succeeds): requests the remote settings document with the settings report,
// or the static one when that fails; updates the cached addresses, downloads
// the station catalogue when it is due, sets the values above, checks the
// version, and rebuilds the mirror table with the last-modified stamps reset.
QCoro::Task<> ReadRemoteSettings(TReportStationsSource stations = {},
                                 const pas_lib::TCancellation* cancellation = nullptr);

// The processing of a settings document that was received, after the request
// that used cachedAddress: everything ReadRemoteSettings does after the fetch.
QCoro::Task<> ApplyRemoteSettings(const pas_lib::TXmlDocument& document, QString cachedAddress,
                                  TReportStationsSource stations = {},
                                  const pas_lib::TCancellation* cancellation = nullptr);

// Forgets what the last document told, as if none had been read: the values
// above and the mirror table.
void ResetRemoteSettings();

// Whether a catalogue file of this age is to be downloaded again.
bool StationCatalogueDue(const QString& fileName, const QDate& today);
