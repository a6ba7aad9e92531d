#pragma once

namespace pas_lib {

// The view the main window shows: 1 observation stations, 2 automatic stations,
// 3 radar picture, 4 satellite pictures, 5 general forecast, 6 forecast maps,
// 7 biometeorological forecast, 8 mountain forecast, 9 aviation forecast, 10 snow
// cover, 11 temperature graph, 12 animations, 13 European cities, 14 coast,
// 15 water levels, 16 amateur stations; 0 until the first view is chosen. It
// lives in the core because the feed reader picks its text pane by it.
extern int CurrentViewKind;

constexpr int CoastViewKind = 14;

} // namespace pas_lib
