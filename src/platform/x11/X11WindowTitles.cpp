#include "platform/x11/X11WindowTitles.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb.h>

// What the caption writer does is logged with the tray.
Q_LOGGING_CATEGORY(lcWindowTitles, "nimbulon.tray", QtInfoMsg)

namespace {

// Titles longer than this many bytes are read cut: bounded work and memory.
constexpr quint32 LongestTitleBytes = 64 * 1024;

template <typename T> struct TFree
{
    void operator()(T* pointer) const { std::free(pointer); }
};
template <typename T> using TReply = std::unique_ptr<T, TFree<T>>;

bool IsLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 256; });
}

} // namespace

TX11WindowTitles::TX11WindowTitles(const QByteArray& display)
{
    int screenNumber = 0;
    FConnection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(FConnection)) {
        xcb_disconnect(FConnection);
        FConnection = nullptr;
        qCInfo(lcWindowTitles) << "Caption writer: no X display";
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    FRoot = screens.data ? screens.data->root : 0;
    FActiveAtom = Atom("_NET_ACTIVE_WINDOW");
    FNetNameAtom = Atom("_NET_WM_NAME");
    FUtf8Atom = Atom("UTF8_STRING");
    FPidAtom = Atom("_NET_WM_PID");

    const xcb_query_extension_reply_t* resources = xcb_get_extension_data(FConnection, &xcb_res_id);
    if (resources && resources->present) {
        TReply<xcb_res_query_version_reply_t> version(xcb_res_query_version_reply(
            FConnection, xcb_res_query_version(FConnection, 1, 2), nullptr));
        FHasResources = version && (version->server_major > 1 ||
                                    (version->server_major == 1 && version->server_minor >= 2));
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0)
        FHost = QByteArray(host);

    const quint32 rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(FConnection, xcb_window_t(FRoot), XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(FConnection);
    FNotifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(FConnection),
                                                  QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, &TX11WindowTitles::ReadEvents);
    qCDebug(lcWindowTitles) << "Caption writer: X11 titles; owners"
                            << (FHasResources ? "from X-Resource" : "from _NET_WM_PID");
}

TX11WindowTitles::~TX11WindowTitles()
{
    FNotifier.reset();
    if (FConnection) {
        xcb_flush(FConnection);
        xcb_disconnect(FConnection);
    }
}

bool TX11WindowTitles::Available() const
{
    return FConnection && FRoot && !xcb_connection_has_error(FConnection);
}

quint32 TX11WindowTitles::Atom(const char* name)
{
    TReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        FConnection, xcb_intern_atom(FConnection, 0, quint16(strlen(name)), name), nullptr));
    return reply ? reply->atom : quint32(XCB_ATOM_NONE);
}

std::optional<TX11WindowTitles::TProperty> TX11WindowTitles::Property(TWindowId window,
                                                                      quint32 atom)
{
    if (!Available())
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        FConnection,
        xcb_get_property(FConnection, 0, xcb_window_t(window), atom, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         LongestTitleBytes / 4),
        &error));
    std::free(error);
    LaterReadEvents();
    if (!reply)
        return std::nullopt; // the window is gone
    TProperty property;
    property.present = reply->type != XCB_ATOM_NONE;
    property.type = reply->type;
    if (property.present && reply->format == 8)
        property.bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                    xcb_get_property_value_length(reply.get()));
    return property;
}

void TX11WindowTitles::Put(TWindowId window, quint32 atom, const TProperty& property)
{
    if (property.present)
        xcb_change_property(FConnection, XCB_PROP_MODE_REPLACE, xcb_window_t(window), atom,
                            property.type, 8, quint32(property.bytes.size()),
                            property.bytes.constData());
    else
        xcb_delete_property(FConnection, xcb_window_t(window), atom);
}

TWindowId TX11WindowTitles::ActiveWindow()
{
    if (!Available())
        return 0;
    TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        FConnection,
        xcb_get_property(FConnection, 0, xcb_window_t(FRoot), FActiveAtom, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    LaterReadEvents();
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

std::optional<quint32> TX11WindowTitles::OwnerPid(TWindowId window)
{
    if (FHasResources) {
        xcb_res_client_id_spec_t spec{quint32(window), XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        TReply<xcb_res_query_client_ids_reply_t> reply(xcb_res_query_client_ids_reply(
            FConnection, xcb_res_query_client_ids(FConnection, 1, &spec), nullptr));
        LaterReadEvents();
        if (!reply)
            return std::nullopt;
        for (xcb_res_client_id_value_iterator_t ids =
                 xcb_res_query_client_ids_ids_iterator(reply.get());
             ids.rem; xcb_res_client_id_value_next(&ids)) {
            if ((ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
                xcb_res_client_id_value_value_length(ids.data) >= 1)
                return *xcb_res_client_id_value_value(ids.data);
        }
        return std::nullopt; // not a local client
    }
    // Without the extension: what the window says of itself, when it runs here.
    const std::optional<TProperty> machine = Property(window, XCB_ATOM_WM_CLIENT_MACHINE);
    if (!machine || !machine->present || FHost.isEmpty() || machine->bytes != FHost)
        return std::nullopt;
    TReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        FConnection,
        xcb_get_property(FConnection, 0, xcb_window_t(window), FPidAtom, XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    LaterReadEvents();
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return std::nullopt;
    return *static_cast<const quint32*>(xcb_get_property_value(reply.get()));
}

bool TX11WindowTitles::Writable(TWindowId window)
{
    if (!Available() || !window || window == FRoot)
        return false;
    const auto known = FWritable.constFind(window);
    if (known != FWritable.constEnd())
        return *known;
    bool writable = false;
    const std::optional<quint32> pid = OwnerPid(window);
    // Never this program's own windows, never another user's.
    if (pid && *pid != quint32(getpid())) {
        struct stat process
        {
        };
        const QByteArray path = "/proc/" + QByteArray::number(*pid);
        writable = ::stat(path.constData(), &process) == 0 && process.st_uid == getuid();
    }
    if (FWritable.size() > 256)
        FWritable.clear();
    FWritable.insert(window, writable);
    return writable;
}

std::optional<QString> TX11WindowTitles::Title(TWindowId window)
{
    // A window whose program sets only WM_NAME is read there: the
    // _NET_WM_NAME it has is the one written here.
    const auto write = FWrites.constFind(window);
    const bool nameOnly = write != FWrites.constEnd() && !write->savedNet.present;
    std::optional<TProperty> property =
        nameOnly ? Property(window, XCB_ATOM_WM_NAME) : Property(window, FNetNameAtom);
    if (!property)
        return std::nullopt;
    if (!property->present && !nameOnly) {
        property = Property(window, XCB_ATOM_WM_NAME);
        if (!property)
            return std::nullopt;
    }
    // STRING is Latin-1; COMPOUND_TEXT is read as Latin-1 as well.
    return property->type == FUtf8Atom ? QString::fromUtf8(property->bytes)
                                       : QString::fromLatin1(property->bytes);
}

void TX11WindowTitles::SetTitle(TWindowId window, const QString& title)
{
    const std::optional<TProperty> net = Property(window, FNetNameAtom);
    const std::optional<TProperty> name = Property(window, XCB_ATOM_WM_NAME);
    if (!net || !name)
        return;
    const auto known = FWrites.find(window);
    if (known == FWrites.end()) {
        FWrites.insert(window, TWrite{*net, *name, {}, {}});
    } else {
        // What the window's program wrote since is its own title now.
        if (*net != known->writtenNet)
            known->savedNet = *net;
        if (*name != known->writtenName)
            known->savedName = *name;
    }
    TWrite& write = FWrites[window];
    write.writtenNet = TProperty{true, FUtf8Atom, title.toUtf8()};
    write.writtenName = IsLatin1(title) ? TProperty{true, XCB_ATOM_STRING, title.toLatin1()}
                                        : TProperty{true, FUtf8Atom, title.toUtf8()};
    Put(window, FNetNameAtom, write.writtenNet);
    Put(window, XCB_ATOM_WM_NAME, write.writtenName);
    xcb_flush(FConnection);
}

void TX11WindowTitles::RestoreTitle(TWindowId window)
{
    const auto known = FWrites.find(window);
    if (known == FWrites.end())
        return;
    const TWrite write = *known;
    FWrites.erase(known);
    const std::optional<TProperty> net = Property(window, FNetNameAtom);
    const std::optional<TProperty> name = Property(window, XCB_ATOM_WM_NAME);
    if (!net || !name)
        return;
    // A title its program has set since stays.
    if (*net == write.writtenNet)
        Put(window, FNetNameAtom, write.savedNet);
    if (*name == write.writtenName)
        Put(window, XCB_ATOM_WM_NAME, write.savedName);
    // A round trip: the title is back before anything else happens, even
    // when the program ends right after.
    TReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
    LaterReadEvents();
}

void TX11WindowTitles::Watch(TWindowId window)
{
    if (!Available() || window == FWatched)
        return;
    if (FWatched) {
        const quint32 none = 0;
        xcb_change_window_attributes(FConnection, xcb_window_t(FWatched), XCB_CW_EVENT_MASK, &none);
    }
    FWatched = window;
    if (FWatched) {
        const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(FConnection, xcb_window_t(FWatched), XCB_CW_EVENT_MASK,
                                     &events);
    }
    xcb_flush(FConnection);
}

void TX11WindowTitles::LaterReadEvents()
{
    // Waiting for a reply may have queued events that the socket will not
    // announce again.
    if (FReadPending)
        return;
    FReadPending = true;
    QTimer::singleShot(0, this, &TX11WindowTitles::ReadEvents);
}

void TX11WindowTitles::ReadEvents()
{
    FReadPending = false;
    if (!FConnection)
        return;
    bool changed = false;
    QList<TWindowId> closed;
    while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
        switch (event->response_type & ~0x80) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (notify->window == FRoot && notify->atom == FActiveAtom)
                changed = true;
            else if (notify->window == FWatched &&
                     (notify->atom == FNetNameAtom || notify->atom == XCB_ATOM_WM_NAME))
                changed = true;
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* destroyed = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
            closed.append(destroyed->window);
            break;
        }
        default: // errors of requests on windows that went meanwhile, and the like
            break;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(FConnection)) {
        qCInfo(lcWindowTitles) << "Caption writer: the X connection ended";
        FNotifier->setEnabled(false);
        return;
    }
    for (TWindowId window : std::as_const(closed)) {
        FWrites.remove(window);
        FWritable.remove(window);
        if (window == FWatched)
            FWatched = 0;
        emit Closed(window);
    }
    if (changed)
        emit Changed();
}
