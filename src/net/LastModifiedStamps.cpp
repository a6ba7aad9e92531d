#include "net/LastModifiedStamps.h"

TLastModifiedStamps LastModifiedStamps;

double TLastModifiedStamps::Get(int slot) const
{
    if (slot < FirstSlot || slot > LastSlot)
        return 0.0;
    return FStamps[size_t(slot)].load();
}

void TLastModifiedStamps::Set(int slot, double stamp)
{
    if (slot < FirstSlot || slot > LastSlot)
        return;
    FStamps[size_t(slot)].store(stamp);
}

void TLastModifiedStamps::ResetAll()
{
    for (auto& stamp : FStamps)
        stamp.store(0.0);
}
