#pragma once

#include <QList>
#include <QString>

// One view of the main window: its action and menu button, the title it shows
// (caption and source credit), the panel tag it shows, the view kind it sets
// and the logical parameter that switches its menu button on (empty: always).
struct TViewInfo
{
    QString Action;
    QString Button;
    QString Caption;
    QString Credit;
    int Tag = 0;
    int Kind = 0;
    QString Switch;

    // The title panel's text: caption and credit; the graph view has none.
    QString Title() const;
};

// The sixteen views in menu order (the order the switches place the buttons).
const QList<TViewInfo>& Views();
// The view of a kind; nullptr for a kind that is not a view.
const TViewInfo* ViewOfKind(int kind);

// Panel tags of the content controls.
namespace PanelTag {
constexpr int Grid = 1;
constexpr int TextPane = 2;
constexpr int Radar = 3;
constexpr int ForecastPictures = 4;
constexpr int Animations = 6;
constexpr int Coast = 7;
constexpr int Satellite = 8;
constexpr int Graph = 11;
constexpr int About = 99;
} // namespace PanelTag

// Caption of the About page.
inline const QString AboutCaption = QStringLiteral("Vizitka");
