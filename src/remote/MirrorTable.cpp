#include "remote/MirrorTable.h"

#include <QRandomGenerator>
#include <algorithm>

TMirrorTable MirrorTable;

namespace {
const char* const slotFiles[] = {nullptr,     "podatki.xml",
                                 "jutri.png", "pojutri.png",
                                 "radar.gif", "radar_anim.gif",
                                 "vreme.jpg", "",
                                 "",          "",
                                 "",          ""};
} // namespace

void TMirrorTable::Clear()
{
    for (TMirror& mirror : Mirrors)
        mirror = TMirror();
}

void TMirrorTable::SetMirror(int number, const QString& baseAddress, int weight)
{
    if (number < 1 || number > Capacity)
        return;
    TMirror& mirror = Mirrors[size_t(number)];
    mirror = TMirror();
    for (int slot = 1; slot <= 11; ++slot)
        mirror.Files[size_t(slot)] =
            (baseAddress + QLatin1String(slotFiles[slot])).left(MaxAddressLength);
    mirror.Weight = std::max(0, weight); // a negative weight counts as none
}

int PickMirror()
{
    const int count = MirrorTable.Count;
    if (count <= 0)
        return 0;
    qint64 total = 0;
    for (int i = 1; i <= count; ++i)
        total += MirrorTable.Mirrors[size_t(i)].Weight;
    const qint64 r = (total > 0 ? QRandomGenerator::global()->bounded(total) : 0) + 1;
    qint64 sum = 0;
    for (int i = 1; i <= count; ++i) {
        sum += MirrorTable.Mirrors[size_t(i)].Weight;
        if (sum >= r)
            return i;
    }
    return count;
}

QString MirrorFileAddress(int mirror, int slot)
{
    if (mirror < 1 || mirror > MirrorTable.Count || slot < 1 || slot > 13)
        return {};
    return MirrorTable.Mirrors[size_t(mirror)].Files[size_t(slot)];
}
