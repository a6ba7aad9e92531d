#pragma once

class TWeatherTable;

// Sets the place of every current-conditions record from the chosen place of
// its station kind in the settings (KRAJ_OPAZOVALNE, KRAJ_AVTOMATSKE, KRAJ_AMATERSKE).
void SetChosenPlaces();

// Refills the current conditions of one station kind from its table: the
// chosen place's row (letter case ignored; the last such row wins) that has a
// report time. A place without such a row leaves only the place name set.
void UpdateConditions(int code, const TWeatherTable& table);
