#include "tray/TrayRules.h"

#include "common/WindowsColor.h"
#include "settings/Tparameter.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>

namespace pas_lib {

namespace {

struct TIconRule
{
    bool Exact; // equals, else contains
    const char16_t* Text;
    int Day;
    int Night;
};

// Tried in order; the first match wins.
const std::array<TIconRule, 31> IconRules{{
    {true, u"jasno", 0, 17},
    {true, u"pretežno jasno", 1, 18},
    {true, u"rahlo oblačno", 1, 18},
    {true, u"delno oblačno", 2, 19},
    {true, u"zmerno oblačno", 2, 19},
    {true, u"pretežno oblačno", 3, 20},
    {true, u"oblačno", 4, 4},
    {true, u"rahlo rosi", 6, 6},
    {true, u"rosi", 6, 6},
    {true, u"po nevihti", 9, 9},
    {true, u"nevihta", 9, 9},
    {true, u"ploha", 8, 8},
    {true, u"manjša ploha", 7, 7},
    {true, u"grmi", 9, 9},
    {true, u"megla", 5, 5},
    {true, u"megla v pasovih", 5, 5},
    {true, u"megla v okolici", 5, 5},
    {true, u"rahlo dežuje", 7, 7},
    {true, u"dežuje", 8, 8},
    {true, u"rahlo sneži", 10, 10},
    {true, u"sneži", 11, 11},
    {true, u"sneg", 11, 11},
    {false, u"oblačn", 3, 3},
    {false, u"megl", 5, 5},
    {false, u"rosi", 6, 6},
    {false, u"sodr", 12, 12},
    {false, u"neviht", 9, 9},
    {false, u"ploh", 8, 8},
    {false, u"dež", 8, 8},
    {false, u"sne", 10, 10},
    {false, u"jasn", 1, 1},
}};

// The Windows program's own fonts, which no other system has under that name.
const std::array<const char*, 4> WindowsFonts{"Small Fonts", "MS Sans Serif", "Tahoma",
                                              "MS Shell Dlg"};
// Condensed sans fonts that read well at icon size, best first.
const std::array<const char*, 5> CondensedFonts{"Nimbus Sans Narrow", "Liberation Sans Narrow",
                                                "Arial Narrow", "DejaVu Sans Condensed",
                                                "Noto Sans Condensed"};
constexpr int DefaultPointSize = 9;
constexpr int MinimumPointSize = 4;
constexpr int MaximumPointSize = 72;

bool HasFamily(const QString& family)
{
    if (family.trimmed().isEmpty())
        return false;
    const QStringList families = QFontDatabase::families();
    // Families may carry their foundry: "Nimbus Sans Narrow [urw]".
    return std::any_of(families.begin(), families.end(), [&](const QString& known) {
        return known.compare(family, Qt::CaseInsensitive) == 0 ||
               known.section(QStringLiteral(" ["), 0, 0).compare(family, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

int MapWeatherToIcon(const QString& description, bool night)
{
    for (const TIconRule& rule : IconRules) {
        const QString text = QString::fromUtf16(rule.Text);
        if (rule.Exact ? description == text : description.contains(text))
            return night ? rule.Night : rule.Day;
    }
    return 0;
}

int TrayStationKind(int tipPostaje, const std::array<CurrentConditions, StationKindCount>& records)
{
    // A kind outside the three reads as having no data.
    const bool known = tipPostaje >= 0 && tipPostaje < StationKindCount;
    if (known && !records[size_t(tipPostaje)].temperature.isEmpty())
        return tipPostaje;
    return tipPostaje == ObservationStations ? AutomaticStations : ObservationStations;
}

int WeatherSourceKind(int tipPostaje, bool vremeOpazovalne)
{
    if (vremeOpazovalne)
        return ObservationStations;
    // A stored kind outside the three falls back to the observation stations.
    return tipPostaje >= 0 && tipPostaje < StationKindCount ? tipPostaje : ObservationStations;
}

int TrayStationKind()
{
    const int tip = parametri ? parametri->Get(TParam::TIP_POSTAJE).toInt() : 0;
    return TrayStationKind(tip, currentConditions);
}

int WeatherSourceKind()
{
    if (!parametri)
        return ObservationStations;
    return WeatherSourceKind(parametri->Get(TParam::TIP_POSTAJE).toInt(),
                             parametri->Get(TParam::VREME_OPAZOVALNE).toBool());
}

QString TrayTemperatureText(const QString& temperature, bool degreeSign)
{
    QString text = temperature;
    if (!degreeSign)
        text.chop(1);
    return text.isEmpty() ? QStringLiteral("NA") : text;
}

double TimeOfDay(const QTime& time)
{
    return time.msecsSinceStartOfDay() / 86400000.0;
}

bool IsNight(double timeOfDay, double sunrise, double sunset)
{
    return timeOfDay > sunset || timeOfDay < sunrise;
}

std::optional<QColor> WindowsColor(qint64 value)
{
    constexpr qint64 none = 0x1FFFFFFF;
    if (value == none)
        return std::nullopt;
    const quint32 bits = quint32(value);
    if ((bits & 0xFF000000u) == 0x80000000u || (bits & 0xFF000000u) == 0xFF000000u) {
        // A system colour: its index in the low byte.
        const QPalette palette = QGuiApplication::palette();
        switch (bits & 0xFF) {
        case 5: // window
            return palette.color(QPalette::Base);
        case 8:  // window text
        case 18: // button text
            return palette.color(QPalette::Text);
        case 13: // highlight
            return palette.color(QPalette::Highlight);
        case 14: // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 15: // button face
            return palette.color(QPalette::Button);
        case 23: // info text
            return palette.color(QPalette::ToolTipText);
        case 24: // info background
            return palette.color(QPalette::ToolTipBase);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return ColorFromWindows(value);
}

void ApplyFontStyle(QFont& font, const QString& letters)
{
    font.setBold(letters.contains(QLatin1Char('B')));
    font.setItalic(letters.contains(QLatin1Char('I')));
    font.setUnderline(letters.contains(QLatin1Char('U')));
    font.setStrikeOut(letters.contains(QLatin1Char('S')));
}

QFont TrayTextFont(const QString& family, const QString& pointSize, const QString& style)
{
    QFont font;
    const bool windowsFont =
        std::any_of(WindowsFonts.begin(), WindowsFonts.end(), [&](const char* name) {
            return family.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        });
    if (!windowsFont && HasFamily(family)) {
        font.setFamily(family.trimmed());
    } else {
        const auto condensed =
            std::find_if(CondensedFonts.begin(), CondensedFonts.end(),
                         [](const char* name) { return HasFamily(QLatin1String(name)); });
        if (condensed != CondensedFonts.end()) {
            font.setFamily(QLatin1String(*condensed));
        } else {
            // Whatever sans font there is, narrowed.
            font.setStyleHint(QFont::SansSerif);
            font.setStretch(QFont::Condensed);
        }
    }
    bool ok = false;
    const int points = pointSize.trimmed().toInt(&ok);
    font.setPointSize(ok ? std::clamp(points, MinimumPointSize, MaximumPointSize)
                         : DefaultPointSize);
    ApplyFontStyle(font, style);
    return font;
}

} // namespace pas_lib
