#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <optional>

// The stored window position ("MainPozicija"): left, top, right, bottom as
// signed 32-bit little-endian integers, then the window state (0 normal,
// 1 minimised, 2 maximised): 17 bytes.
struct TWindowPosition
{
    QRect Bounds;
    quint8 State = 0;

    static constexpr int Size = 17;
    enum : quint8 { Normal = 0, Minimized = 1, Maximized = 2 };

    QByteArray Encode() const;
    // Nothing for a value that is not 17 bytes or holds an unknown state or
    // bounds that are empty or absurdly large.
    static std::optional<TWindowPosition> Decode(const QByteArray& bytes);
};

// Bounds that lie wholly on one of the screens (their available areas): the
// size is cut to the screen and the place moved onto it. Bounds already on a
// screen stay as they are; bounds off every screen go to the nearest one.
QRect FitOnScreens(const QRect& bounds, const QList<QRect>& screens);
