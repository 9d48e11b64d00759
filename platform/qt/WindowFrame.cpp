#include "platform/qt/WindowFrame.h"

#include <QApplication>
#include <QWidget>

#ifdef JOTTEREL_X11_FRAMES
#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <xcb/xcb.h>
#endif

namespace platform {
namespace {

QMargins& lastFrameSeen() {
    static QMargins frame;
    return frame;
}

QMargins ownFrame(const QWidget& window) {
    if (!window.isVisible()) {
        return {};
    }
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    if (!frame.isNull()) {
        lastFrameSeen() = frame;
    }
    return frame;
}

#ifdef JOTTEREL_X11_FRAMES
xcb_atom_t atom(xcb_connection_t* x, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return a;
}

// Asks the window manager which frame it gives a window, before any window is shown, so that
// the first window of a run is placed right from the start (_NET_REQUEST_FRAME_EXTENTS). A
// window of its own, never shown, is asked about: the program's windows are left untouched.
// Asked once a run: a window manager that does not answer is not asked again.
QMargins frameAnnounced() {
    static bool asked = false;
    // Only the X11 platform itself: another may answer for X11 without a connection to it.
    auto* x11 = qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")
                    ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    xcb_connection_t* x = x11 ? x11->connection() : nullptr;
    if (asked || !x) {
        return {};
    }
    asked = true;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const xcb_atom_t request = atom(x, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(x, "_NET_FRAME_EXTENTS");
    if (!screen || request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE) {
        return {};
    }
    const xcb_window_t probe = xcb_generate_id(x);
    xcb_create_window(x, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, 0, nullptr);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = probe;
    message.type = request;
    xcb_send_event(x, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);
    QMargins frame;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (frame.isNull() && std::chrono::steady_clock::now() < deadline) {
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(x, xcb_get_property(x, 0, probe, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            // Left, right, top, bottom.
            frame = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                             static_cast<int>(v[3]));
        }
        std::free(reply);
        if (frame.isNull()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    xcb_destroy_window(x, probe);
    xcb_flush(x);
    return frame;
}
#else
QMargins frameAnnounced() {
    return {};
}
#endif

} // namespace

bool hasOwnFrame(const QWidget& window) {
    return !ownFrame(window).isNull();
}

QMargins windowFrame(const QWidget& window) {
    if (const QMargins own = ownFrame(window); !own.isNull()) {
        return own;
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != &window && other->windowType() != Qt::Popup && other->windowType() != Qt::ToolTip) {
            if (const QMargins frame = ownFrame(*other); !frame.isNull()) {
                return frame;
            }
        }
    }
    if (lastFrameSeen().isNull()) {
        lastFrameSeen() = frameAnnounced();
    }
    return lastFrameSeen();
}

QSize outerSize(const QWidget& window) {
    const QMargins frame = windowFrame(window);
    return window.size().grownBy(frame);
}

} // namespace platform
