#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The program's station codes for ARSO's stations. A code, once given to an
// ARSO station identifier, stays with it from one run to the next and is never
// given to another station, also after the station has gone; the mapping lives
// in a small file beside the output.
namespace arso {

class TStationCodes
{
public:
    // Reads a mapping file: one line per station, "identifier<TAB>code".
    // Lines that are not such a pair are left out; a code is never below 1.
    void Load(const QByteArray& file);
    QByteArray Save() const;

    // The code of an identifier, given now when it has none; 0 for an
    // identifier that cannot be one (empty, over 100 characters, with a tab or
    // a line break).
    int Code(const QString& identifier);
    bool Changed() const { return FChanged; }

private:
    QMap<QString, int> FCodes;
    int FHighest = 0;
    bool FChanged = false;
};

} // namespace arso
