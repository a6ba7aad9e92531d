#pragma once

#include <array>
#include <atomic>

// Per file slot (1 to 13, and 14 to 20 for ARSO's files of the direct
// source), the Last-Modified time (days since 30 December 1899)
// that the server reported when the slot's file was last downloaded; 0 when
// unknown. Each stamp is read and written whole, from any thread.
class TLastModifiedStamps
{
public:
    static constexpr int FirstSlot = 1;
    static constexpr int LastSlot = 20;

    // 0 for a slot outside 1..20.
    double Get(int slot) const;
    // Ignored for a slot outside 1..20.
    void Set(int slot, double stamp);
    void ResetAll();

private:
    std::array<std::atomic<double>, LastSlot + 1> FStamps{};
};

extern TLastModifiedStamps LastModifiedStamps;
