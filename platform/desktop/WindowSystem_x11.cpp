#include "platform/desktop/WindowSystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

// Only when Qt itself runs on X11; offscreen and on Wayland there is nothing to ask.
xcb_connection_t* x11Connection()
{
    if (!qGuiApp)
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

// A property's 32-bit values; empty when it is not set.
std::vector<uint32_t> values32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                               xcb_atom_t type)
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

// Sends the window manager a request about a shown window, as a client message to the root.
void sendToWindowManager(xcb_connection_t* c, QWidget* window, const char* type,
                         std::initializer_list<uint32_t> data)
{
    const auto id = xcb_window_t(window->winId());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atom(c, type);
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(c, 0, rootOf(c, id),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}

// _NET_WM_STATE's actions; the source 1 says an application asks.
constexpr uint32_t kRemove = 0;
constexpr uint32_t kAdd = 1;
constexpr uint32_t kFromApplication = 1;

// The frame around another shown, framed window of ours, one of the same class first.
std::optional<QMargins> frameOfShownWindow(const QWidget* window)
{
    std::optional<QMargins> any;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible() || !(other->windowType() & Qt::Window)
            || other->windowType() == Qt::Popup || other->windowType() == Qt::ToolTip
            || (other->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
            continue;
        const QRect outer = other->frameGeometry();
        const QRect inner = other->geometry();
        if (outer == inner)
            continue;
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        if (other->metaObject() == window->metaObject())
            return frame;
        if (!any)
            any = frame;
    }
    return any;
}

} // namespace

std::optional<QMargins> askFrameExtents(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    // On Wayland Qt draws the title bar itself and knows it once the window exists.
    if (!c && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        window->winId();
        // Before the window first shows, its title bar may not be made yet: our other windows
        // have the same.
        const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins()
                                                      : QMargins();
        return frame.isNull() ? frameOfShownWindow(window) : std::optional<QMargins>(frame);
    }
    if (!c)
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());
    const xcb_window_t root = rootOf(c, id);
    if (values32(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty())
        return QMargins(); // no window manager: no frame
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const std::vector<uint32_t> supported =
        values32(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    if (std::find(supported.begin(), supported.end(), request) == supported.end())
        return frameOfShownWindow(window);

    sendToWindowManager(c, window, "_NET_REQUEST_FRAME_EXTENTS", {});

    // The window manager answers by setting the property on the window; it takes a few
    // milliseconds at most.
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const std::vector<uint32_t> v = values32(c, id, extents, XCB_ATOM_CARDINAL);
        if (v.size() == 4) {
            // left, right, top, bottom, in the screen's own pixels
            const qreal ratio = window->devicePixelRatioF();
            return QMargins(qRound(v[0] / ratio), qRound(v[2] / ratio), qRound(v[1] / ratio),
                            qRound(v[3] / ratio));
        }
        if (waited.elapsed() > 500)
            return frameOfShownWindow(window);
        QThread::msleep(2);
    }
}

void showEmptyCaption(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return;
    const auto id = xcb_window_t(window->winId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, atom(c, "_NET_WM_NAME"),
                        atom(c, "UTF8_STRING"), 8, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(c);
}

void keepOffTaskbar(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return;
    // Qt keeps the states it finds on the window when it maps it.
    const xcb_atom_t skip = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    xcb_change_property(c, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()),
                        atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(c);
}

void keepMinimisedReachable(QWidget* window)
{
    const char* const onTaskbar = "numbrellaOnTaskbar";
    const bool minimised = window->windowHandle()->windowStates() & Qt::WindowMinimized;
    xcb_connection_t* c = x11Connection();
    if (!c) {
        if (minimised && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            // Nothing tells a Wayland client that it is minimised, nor lets it undo it; a window
            // made anew is mapped anew, unless it still asks to be minimised (weston 14 obeys).
            QTimer::singleShot(0, window, [window] {
                window->hide();
                QWindow* handle = window->windowHandle();
                handle->setWindowStates(handle->windowStates() & ~Qt::WindowMinimized);
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->show();
            });
        return;
    }
    if (minimised == window->property(onTaskbar).toBool())
        return;
    window->setProperty(onTaskbar, minimised);
    sendToWindowManager(
        c, window, "_NET_WM_STATE",
        {minimised ? kRemove : kAdd, atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), 0, kFromApplication});
}

bool maximisedAnyWay(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c)
        return window->isMaximized();
    const std::vector<uint32_t> states =
        values32(c, xcb_window_t(window->winId()), atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM);
    const xcb_atom_t vertical = atom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t horizontal = atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    return std::any_of(states.begin(), states.end(),
                       [&](uint32_t s) { return s == vertical || s == horizontal; });
}

void unmaximise(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c) {
        window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
        return;
    }
    // Qt would not ask for a maximise in height alone to be taken back: it knows none.
    sendToWindowManager(c, window, "_NET_WM_STATE",
                        {kRemove, atom(c, "_NET_WM_STATE_MAXIMIZED_VERT"),
                         atom(c, "_NET_WM_STATE_MAXIMIZED_HORZ"), kFromApplication});
}
