#pragma once

#include "weather/TRefreshHost.h"

// A window that shows nothing of a refresh: for tests and benchmarks that look
// only at the data. It counts as minimised, as the window is at start.
class TQuietRefreshHost : public TRefreshHost
{
public:
    bool WindowMinimized() const override { return true; }
    void StartIconAnimation() override {}
    void StopIconAnimation() override {}
    void ShowRefreshIndicator() override {}
    void HideRefreshIndicator() override {}
    void DrawMoonPhase() override {}
    void PresentConditions() override {}
    void UpdateTableStatistics(TWeatherTable&) override {}
    void RestoreSort() override {}
    void UpdatePictures() override {}
};
