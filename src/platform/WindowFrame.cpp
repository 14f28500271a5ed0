// SPDX-License-Identifier: MIT
#include "platform/WindowFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef MIRADEL_HAS_XCB
#include <QDeadlineTimer>
#include <QThread>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#endif

namespace miradel {

#ifdef MIRADEL_HAS_XCB
namespace {

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The 32-bit values of a window property, empty when it is not set.
std::vector<uint32_t> Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr),
        &std::free);
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// EWMH: a manager that supports _NET_REQUEST_FRAME_EXTENTS sets _NET_FRAME_EXTENTS (left,
// right, top, bottom) on a window that is not mapped yet, for the frame it would give it.
std::optional<FrameExtents> AskWindowManager(xcb_connection_t* connection, xcb_window_t window)
{
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr), &std::free);
    if (!tree)
        return std::nullopt;
    const xcb_window_t root = tree->root;
    // Only a window manager redirects the root's children: without one there is no frame.
    const XcbReply<xcb_get_window_attributes_reply_t> rootAttributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr), &std::free);
    if (!rootAttributes)
        return std::nullopt;
    if (!(rootAttributes->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT))
        return FrameExtents {};

    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    const std::vector<uint32_t> supported
        = Property(connection, root, Atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (request == static_cast<xcb_atom_t>(XCB_ATOM_NONE)
        || std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    // The manager answers at once; one that does not within a moment leaves the frame to be
    // learnt after mapping.
    const QDeadlineTimer deadline(500);
    do {
        const std::vector<uint32_t> values = Property(connection, window, extents, XCB_ATOM_CARDINAL);
        if (values.size() == 4) {
            return FrameExtents { static_cast<int>(values[0]), static_cast<int>(values[2]), static_cast<int>(values[1]),
                static_cast<int>(values[3]) };
        }
        QThread::msleep(2);
    } while (!deadline.hasExpired());
    return std::nullopt;
}

} // namespace
#endif

std::optional<FrameExtents> FrameBeforeMapping(QWidget& window)
{
    const WId id = window.winId();
    QWindow* handle = window.windowHandle();
    if (!handle)
        return std::nullopt;
#ifdef MIRADEL_HAS_XCB
    // Only the X11 platform itself: others may offer the interface without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        std::optional<FrameExtents> frame = AskWindowManager(x11->connection(), static_cast<xcb_window_t>(id));
        // The manager counts device pixels; the window's sizes are in logical ones.
        const qreal ratio = handle->devicePixelRatio();
        if (frame && ratio > 0 && ratio != 1) {
            const auto logical = [ratio](int pixels) { return qRound(pixels / ratio); };
            *frame = { logical(frame->left), logical(frame->top), logical(frame->right), logical(frame->bottom) };
        }
        return frame;
    }
#else
    (void)id;
#endif
    // Elsewhere the toolkit knows the frame as soon as the native window exists, if at all.
    const QMargins margins = handle->frameMargins();
    if (margins.isNull())
        return std::nullopt;
    return FrameExtents { margins.left(), margins.top(), margins.right(), margins.bottom() };
}

} // namespace miradel
