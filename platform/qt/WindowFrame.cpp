#include "platform/qt/WindowFrame.h"

#include <QApplication>
#include <QWidget>

#ifdef JOTTEREL_X11_FRAMES
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <vector>
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
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// Atoms that already exist on the server (XCB_ATOM_NONE for one that does not), in one round trip.
template <std::size_t N>
std::array<xcb_atom_t, N> existingAtoms(xcb_connection_t* x, const char* const (&names)[N]) {
    std::array<xcb_intern_atom_cookie_t, N> cookies;
    for (std::size_t i = 0; i < N; ++i) {
        cookies[i] = xcb_intern_atom(x, 1, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    }
    std::array<xcb_atom_t, N> atoms;
    for (std::size_t i = 0; i < N; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(x, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return atoms;
}

xcb_get_property_cookie_t askProperty(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                      uint32_t longs) {
    return xcb_get_property(x, 0, window, property, type, 0, longs);
}

// A property of 32-bit values; empty when the window or the property is missing.
std::vector<uint32_t> values(xcb_connection_t* x, xcb_get_property_cookie_t cookie) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(x, cookie, nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* first = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

// The window a running window manager names on the root window (_NET_SUPPORTING_WM_CHECK), or
// none. The window names itself as well while its manager runs: one that has ended leaves the
// root window's properties behind.
xcb_window_t windowManagerCheck(xcb_connection_t* x, xcb_window_t root, xcb_atom_t check) {
    const std::vector<uint32_t> named = values(x, askProperty(x, root, check, XCB_ATOM_WINDOW, 1));
    if (named.size() != 1 || named[0] == XCB_WINDOW_NONE) {
        return XCB_WINDOW_NONE;
    }
    const std::vector<uint32_t> self = values(x, askProperty(x, named[0], check, XCB_ATOM_WINDOW, 1));
    return self == named ? named[0] : xcb_window_t{XCB_WINDOW_NONE};
}

enum Atom { Supported, SupportingCheck, RequestFrameExtents, FrameExtents, AtomCount };
constexpr const char* kAtomNames[AtomCount] = {"_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK",
                                               "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS"};

// Asks the window manager for the frame it would give a window, on a connection of the probe's
// own: the answer comes as an event, and events on Qt's connection are read, and must be kept,
// by Qt. The probe window is never shown, and goes with the connection.
QMargins askWindowManager(const std::array<xcb_atom_t, AtomCount>& atoms, xcb_window_t root, xcb_window_t manager) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return {};
    }
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> own(xcb_connect(display, nullptr),
                                                                           &xcb_disconnect);
    xcb_connection_t* x = own.get();
    if (xcb_connection_has_error(x)) {
        return {};
    }
    // The same server as Qt's, and the same window manager, or nothing is asked.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    if (!screen || screen->root != root || windowManagerCheck(x, root, atoms[SupportingCheck]) != manager) {
        return {};
    }
    const xcb_window_t probe = xcb_generate_id(x);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = probe;
    message.type = atoms[RequestFrameExtents];
    xcb_send_event(x, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);

    // A window manager that says it answers does so at once; one that does not answer costs
    // no more than a blink.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    pollfd connection{xcb_get_file_descriptor(x), POLLIN, 0};
    bool answered = false;
    while (!answered) {
        while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(x)}) {
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
                answered = answered || (change->window == probe && change->atom == atoms[FrameExtents] &&
                                        change->state == XCB_PROPERTY_NEW_VALUE);
            }
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (!answered && (left <= 0 || xcb_connection_has_error(x))) {
            return {};
        }
        if (!answered) {
            ::poll(&connection, 1, static_cast<int>(left));
        }
    }
    // Left, right, top, bottom.
    const std::vector<uint32_t> v = values(x, askProperty(x, probe, atoms[FrameExtents], XCB_ATOM_CARDINAL, 4));
    if (v.size() != 4) {
        return {};
    }
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
}

// Asks the window manager which frame it gives a window, before any window is shown, so that
// the first window of a run is placed right from the start (_NET_REQUEST_FRAME_EXTENTS). Only a
// window manager that runs and says it answers the question is asked: without one there is no
// frame to wait for. Asked once a run.
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
    // Questions with replies only: Qt's connection carries no event of the probe's.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
    const std::array<xcb_atom_t, AtomCount> atoms = existingAtoms(x, kAtomNames);
    if (!screen || std::find(atoms.begin(), atoms.end(), xcb_atom_t{XCB_ATOM_NONE}) != atoms.end()) {
        return {};
    }
    const xcb_get_property_cookie_t supportedCookie =
        askProperty(x, screen->root, atoms[Supported], XCB_ATOM_ATOM, 4096);
    const xcb_window_t manager = windowManagerCheck(x, screen->root, atoms[SupportingCheck]);
    const std::vector<uint32_t> supported = values(x, supportedCookie);
    if (manager == XCB_WINDOW_NONE ||
        std::find(supported.begin(), supported.end(), atoms[RequestFrameExtents]) == supported.end()) {
        return {};
    }
    return askWindowManager(atoms, screen->root, manager);
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
