#pragma once

#include "platform/WindowTitles.h"

// Where no program may rename another program's windows (Wayland, say).
class TNoWindowTitles : public TWindowTitles
{
public:
    bool Available() const override { return false; }
    TWindowId ActiveWindow() override { return 0; }
    bool Writable(TWindowId) override { return false; }
    std::optional<QString> Title(TWindowId) override { return std::nullopt; }
    void SetTitle(TWindowId, const QString&) override {}
    void RestoreTitle(TWindowId) override {}
    void Watch(TWindowId) override {}
};
