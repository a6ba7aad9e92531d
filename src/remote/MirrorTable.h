#pragma once

#include <QString>
#include <array>

// The mirrors that serve the feeds and pictures, as the remote settings document
// lists them, each with a weight for the random choice between them.
struct TMirror
{
    std::array<QString, 14> Files; // by file slot 1 to 13; 0 is unused
    int Weight = 0;
};

struct TMirrorTable
{
    static constexpr int Capacity = 10;
    static constexpr int MaxAddressLength = 250;
    std::array<TMirror, Capacity + 1> Mirrors; // 1 to Capacity; 0 is unused
    int Count = 0;

    // Every address empty and every weight 0; the count stays.
    void Clear();
    // Fills a mirror from its base address: slots 1 to 6 are the feed and picture
    // files, 7 to 11 the base address alone, 12 and 13 empty.
    void SetMirror(int number, const QString& baseAddress, int weight);
};

extern TMirrorTable MirrorTable;

// A mirror number picked at random in proportion to the weights; 0 without mirrors.
int PickMirror();
// A file's address on a mirror; empty when the number is not one of a mirror.
QString MirrorFileAddress(int mirror, int slot);
