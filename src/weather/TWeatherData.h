#pragma once

#include "weather/CurrentConditions.h"
#include "weather/LoadFeedSection.h"
#include "weather/TNameValueList.h"
#include "weather/TViewTitle.h"
#include "weather/TWeatherDatabase.h"
#include "weather/TWeatherTable.h"

#include <QByteArray>
#include <QObject>
#include <QTextDocument>

namespace pas_lib {
class TXmlDocument;
}

// The weather data the main window owns: the seven weather tables in one
// in-memory database, the graph view's station lists, the two text panes'
// documents and the view title. Models, text views and the title panel bind to
// these objects and must go before it does.
class TWeatherData : public QObject
{
    Q_OBJECT
public:
    explicit TWeatherData(QObject* parent = nullptr);
    ~TWeatherData() override;

    // Builds the seven tables and loads the station catalogue; once, at start.
    void CreateWeatherTables();

    // Reads the records under path of a feed document into table (nothing in
    // the others: into a text pane, or with update set the sun times), then
    // puts the section's time into the view title. A document that did not
    // parse changes nothing.
    void LoadFeedSection(const QString& path, const QString& keyElement,
                         const pas_lib::TXmlDocument& document, bool update, TWeatherTable* table);
    // The same for a feed that is not kept: parsed with a feed's limits first.
    void LoadFeedSection(const QString& path, const QString& keyElement, const QByteArray& document,
                         bool update, TWeatherTable* table);
    // Only the last step of LoadFeedSection: the section's time into the view
    // title, for a section whose records are already loaded.
    void ApplyFeedSectionTime(const QString& path, const pas_lib::TXmlDocument& document);

    // The station table of a station-kind code, nullptr for another code.
    TWeatherTable* StationTable(int kind) const;
    // The graph view's list of a station-kind code, nullptr for another code.
    TNameValueList* StationGraphList(int kind);

private:
    TWeatherDatabase FDatabase;

public:
    TWeatherTable* const tbl_opazovalne; // observation stations
    TWeatherTable* const tbl_avtomatske; // automatic stations
    TWeatherTable* const tblAmaterske;   // amateur stations
    TWeatherTable* const tbl_eu;         // European cities
    TWeatherTable* const tbl_snezna_odeja;
    TWeatherTable* const tbl_primorje; // coast forecast
    TWeatherTable* const tblVodostaji; // water levels

    // name=code of every catalogue station, for the temperature graph.
    TNameValueList dbPostajaOpa;
    TNameValueList dbPostajaAvt;
    TNameValueList dbPostajaAmat;

    // The main window's text pane and the coast view's text pane.
    QTextDocument* const MainTextPane;
    QTextDocument* const CoastTextPane;
    TViewTitle* const ViewTitle;

private:
    bool FTablesCreated = false;
};
