#pragma once

#include "weather/ViewKinds.h"

#include <QList>
#include <QString>

// The window's side of one view: its action and menu button, the title it
// shows (caption and source credit) and the panel tag of the controls it
// shows. What the view reads and sorts is its kind's row in ViewKinds().
struct TViewInfo
{
    QString action;
    QString button;
    QString caption;
    QString credit;
    int tag = 0;
    TViewKind kind = TViewKind::None;

    // The title panel's text: caption and credit; the graph view has none.
    QString Title() const;
};

// The sixteen views in menu order (the order the switches place the buttons).
const QList<TViewInfo>& Views();
// The view of a kind; nullptr for a kind that is not a view.
const TViewInfo* ViewOfKind(TViewKind kind);

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
