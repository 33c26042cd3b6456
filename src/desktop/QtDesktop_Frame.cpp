#include "desktop/QtDesktop.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace quorel::desktop
{
namespace
{
    template<typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    template<typename Reply> ReplyPtr<Reply> owned(Reply *reply)
    {
        return ReplyPtr<Reply>(reply, &std::free);
    }

    xcb_atom_t atom(xcb_connection_t *connection, const char *name)
    {
        const auto reply = owned(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // Up to `count` 32-bit items of a property; fewer when it is shorter or missing.
    std::vector<uint32_t> property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                   uint32_t count)
    {
        const auto reply = owned(
            xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, name, type, 0, count), nullptr));
        if (!reply || reply->format != 32)
            return {};
        const auto *items = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / sizeof(uint32_t);
        return std::vector<uint32_t>(items, items + length);
    }
}

namespace
{
    xcb_connection_t *x11Connection()
    {
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->connection() : nullptr;
    }
}

// The window manager answers while the window is being built, so that reading the answer later
// seldom waits.
void QtDesktop::askFrameExtents(QWidget &window)
{
    m_frameAsked = false;
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const auto tree = owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr));
    if (!tree)
        return;

    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const std::vector<uint32_t> supported
        = property(connection, tree->root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    // No window manager, or one that cannot say: the frame stays unknown, and waiting is pointless.
    if (request == XCB_ATOM_NONE || std::find(supported.begin(), supported.end(), request) == supported.end())
        return;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, tree->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
    m_frameAsked = true;
}

QMargins QtDesktop::frameExtents(QWidget &window)
{
    xcb_connection_t *connection = x11Connection();
    if (!m_frameAsked || !connection)
        return {};
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    // The answer is a property on the window; a manager that does not answer soon costs only this wait.
    const QDeadlineTimer deadline(300);
    do {
        const std::vector<uint32_t> sides = property(connection, id, extents, XCB_ATOM_CARDINAL, 4);
        if (sides.size() == 4) {
            return QMargins(static_cast<int>(sides[0]), static_cast<int>(sides[2]), static_cast<int>(sides[1]),
                            static_cast<int>(sides[3]));
        }
        QThread::msleep(1);
    } while (!deadline.hasExpired());
    return {};
}
}
