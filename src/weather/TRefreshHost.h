#pragma once

class TWeatherTable;

// The window's share of a refresh: what it shows while one runs and the views
// it brings up to date afterwards. The refresh calls these in its fixed order.
class TRefreshHost
{
public:
    virtual ~TRefreshHost() = default;

    // Whether the window still has the minimised state it starts with; hiding
    // it in the notification area later does not count.
    virtual bool WindowMinimized() const = 0;
    // While minimised: the icon takes input and cycles its refresh frames.
    virtual void StartIconAnimation() = 0;
    virtual void StopIconAnimation() = 0;
    // While shown: the refreshing indicator and the busy cursor.
    virtual void ShowRefreshIndicator() = 0;
    // Hides the indicator and restores the cursor; runs after every refresh.
    virtual void HideRefreshIndicator() = 0;
    virtual void DrawMoonPhase() = 0;
    // The icon, tooltip and balloon from the reloaded current conditions.
    virtual void PresentConditions() = 0;
    // The statistics bar and the sort order of the table view shown.
    virtual void UpdateTableStatistics(TWeatherTable& table) = 0;
    virtual void RestoreSort() = 0;
    // The still radar and the two forecast pictures whose views are switched on,
    // downloaded in the background when their change stamps show them stale.
    virtual void UpdatePictures() = 0;
};
