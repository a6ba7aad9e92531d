#pragma once

#include "platform/WindowTitles.h"

#include <QByteArray>
#include <QHash>
#include <memory>

class QSocketNotifier;
struct xcb_connection_t;

// Window titles on an X11 desktop, through a connection of its own: the
// active window from the root window's _NET_ACTIVE_WINDOW, titles from
// _NET_WM_NAME (UTF-8) or else WM_NAME, written to both. It listens to
// PropertyNotify on the root window and on the followed window, so it wakes
// only when something changes. Only windows of this user's other programs
// are writable: the owner comes from the X-Resource extension (or, without
// it, _NET_WM_PID on this host).
class TX11WindowTitles : public TWindowTitles
{
    Q_OBJECT
public:
    // display: as in DISPLAY; empty for DISPLAY itself.
    explicit TX11WindowTitles(const QByteArray& display = QByteArray());
    ~TX11WindowTitles() override;

    bool Available() const override;
    TWindowId ActiveWindow() override;
    bool Writable(TWindowId window) override;
    std::optional<QString> Title(TWindowId window) override;
    void SetTitle(TWindowId window, const QString& title) override;
    void RestoreTitle(TWindowId window) override;
    void Watch(TWindowId window) override;

private:
    struct TProperty
    {
        bool present = false;
        quint32 type = 0;
        QByteArray bytes;
        bool operator==(const TProperty& other) const = default;
    };
    // A window's two title properties as its program set them and as written.
    struct TWrite
    {
        TProperty savedNet;
        TProperty savedName;
        TProperty writtenNet;
        TProperty writtenName;
    };

    quint32 Atom(const char* name);
    std::optional<TProperty> Property(TWindowId window, quint32 atom);
    void Put(TWindowId window, quint32 atom, const TProperty& property);
    std::optional<quint32> OwnerPid(TWindowId window);
    void ReadEvents();
    void LaterReadEvents();

    xcb_connection_t* FConnection = nullptr;
    std::unique_ptr<QSocketNotifier> FNotifier;
    TWindowId FRoot = 0;
    TWindowId FWatched = 0;
    bool FHasResources = false;
    quint32 FActiveAtom = 0;
    quint32 FNetNameAtom = 0;
    quint32 FUtf8Atom = 0;
    quint32 FPidAtom = 0;
    QByteArray FHost;
    QHash<TWindowId, TWrite> FWrites;
    QHash<TWindowId, bool> FWritable;
    bool FReadPending = false;
};
