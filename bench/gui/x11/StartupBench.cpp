#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include "platform/core/FileAttributes.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"
#include "wm/WindowManagerDisplay.h"

// Start-up of the real program, from the moment it is started until its login window is mapped
// (on screen), beside a bare Qt dialog with the same title started the same way, in the same
// rounds; and until each has first painted into its window (the X server's damage report), which
// for the program is the login window with all its text. The bench starts an X server of its own
// (Xvfb), once bare and once with the IceWM window manager, which maps a window only after it has
// framed it. Counters: the medians of both in milliseconds and the program's over the dialog's.
//
// The program runs from a folder of its own holding a copy of it and a few members, as a user
// would start it.

extern char** environ;

namespace {

constexpr const char* kLoginTitle = "Jotterel - Member login";
constexpr int kMembers = 5;
constexpr int kTimeoutMs = 10000;

class ProgramFolder {
public:
    ProgramFolder()
        : m_folder(std::filesystem::temp_directory_path() / ("jotterel-start-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_folder);
        std::filesystem::copy_file(JOTTEREL_PROGRAM, program(), std::filesystem::copy_options::overwrite_existing);
        for (int i = 0; i < kMembers; ++i) {
            const auto member = m_folder / ("Member " + std::to_string(i));
            std::filesystem::create_directory(member);
            auto write = [&](const std::string& name, const std::string& bytes) {
                const std::string path = (member / name).string();
                std::ofstream(path, std::ios::binary) << bytes;
                platform::setAttr(path, platform::kAttrHidden);
            };
            write(MemberFolder::kPasswordFile, PasswordFile::content(110 + i, "Memb"));
            write(MemberFolder::kCaptionsFile, "");
            for (int page = 1; page <= MemberFolder::kPageCount; ++page) {
                write(MemberFolder::pageFileName(page), "");
            }
        }
    }
    ~ProgramFolder() { std::filesystem::remove_all(m_folder); }
    std::string program() const { return (m_folder / "jotterel").string(); }

private:
    std::filesystem::path m_folder;
};

// The environment the bench was started with, on the bench's own X server.
class ChildEnvironment {
public:
    explicit ChildEnvironment(const std::string& display) {
        for (char** e = environ; *e; ++e) {
            if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) {
                m_text.emplace_back(*e);
            }
        }
        m_text.push_back("DISPLAY=" + display);
        m_text.emplace_back("QT_QPA_PLATFORM=xcb");
        for (std::string& e : m_text) {
            m_env.push_back(e.data());
        }
        m_env.push_back(nullptr);
    }
    char** get() { return m_env.data(); }

private:
    std::vector<std::string> m_text;
    std::vector<char*> m_env;
};

// When a window was shown, in seconds from the start: mapped, then first painted into.
struct Shown {
    double mapped = -1;
    double painted = -1;
};

// Watches the X server for a top-level window of a given title being mapped and then painted. A
// window manager reparents a window into its frame before it maps it, so the window's own map is
// watched as well as the maps under the root window. Every new top-level window reports the
// drawing into it from its creation on, so that no paint passes unseen.
class MapWatch {
public:
    explicit MapWatch(const std::string& display) : m_x(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(m_x)) {
            return;
        }
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(m_x, &xcb_damage_id);
        if (!damage || !damage->present) {
            xcb_disconnect(m_x);
            m_x = xcb_connect("no such display", nullptr); // an error state: connected() is false
            return;
        }
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(m_x, xcb_damage_query_version(m_x, 1, 1), nullptr));
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_x, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_x);
    }
    ~MapWatch() { xcb_disconnect(m_x); }
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    bool connected() const { return !xcb_connection_has_error(m_x); }

    // Forgets what happened so far: the windows of a program that has ended.
    void drain() {
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_x)) {
            std::free(event);
        }
    }

    // Waits until a window named title is mapped and then painted into, or until timeoutMs
    // have passed; the times are taken from start.
    Shown waitForShown(const std::string& title, std::chrono::steady_clock::time_point start, int timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        pollfd fd{xcb_get_file_descriptor(m_x), POLLIN, 0};
        Shown shown;
        xcb_window_t window = 0;
        auto since = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_x)) {
                const uint8_t type = event->response_type & 0x7F;
                if (type == XCB_MAP_NOTIFY && shown.mapped < 0) {
                    const xcb_window_t mapped = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                    if (name(mapped) == title) {
                        shown.mapped = since();
                        window = mapped;
                    }
                } else if (type == XCB_CREATE_NOTIFY) {
                    const xcb_window_t created = reinterpret_cast<xcb_create_notify_event_t*>(event)->window;
                    reportDrawing(created);
                    if (shown.mapped < 0 && watch(created, title)) {
                        shown.mapped = since();
                        window = created;
                    }
                } else if (type == m_damageEvent && shown.mapped >= 0 &&
                           reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable == window) {
                    shown.painted = since();
                }
                std::free(event);
                if (shown.painted >= 0) {
                    return shown;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(m_x)) {
                return {};
            }
            ::poll(&fd, 1, static_cast<int>(left.count()) + 1);
        }
    }

private:
    // Asks for a report of the first drawing into window (a window that takes none, one for input
    // only, answers with an error, which is let go).
    void reportDrawing(xcb_window_t window) {
        xcb_damage_create(m_x, xcb_generate_id(m_x), window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(m_x);
    }

    void sync() { std::free(xcb_get_input_focus_reply(m_x, xcb_get_input_focus(m_x), nullptr)); }

    std::string name(xcb_window_t window) {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(m_x, cookie, nullptr);
        if (!reply) {
            return {};
        }
        std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        std::free(reply);
        return text;
    }

    // Follows a new top-level window's own map; true when it is already mapped and named title.
    bool watch(xcb_window_t window, const std::string& title) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_x, window, XCB_CW_EVENT_MASK, &mask);
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(m_x, xcb_get_window_attributes(m_x, window), nullptr);
        const bool mapped = attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
        std::free(attributes);
        return mapped && name(window) == title;
    }

    xcb_connection_t* m_x;
    xcb_window_t m_root = 0;
    uint8_t m_damageEvent = 0;
};

// Starts program, waits for its window named title to be mapped and painted, and ends it; the
// times are negative when the window was not shown within the time allowed.
Shown startUntilShown(const std::string& program, char** env, MapWatch& watch) {
    watch.drain();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    // Its messages (Qt's notes on the environment) would cut up the bench's table.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, env);
    posix_spawn_file_actions_destroy(&quiet);
    if (error != 0) {
        return {};
    }
    const Shown shown = watch.waitForShown(kLoginTitle, start, kTimeoutMs);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    return shown;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_StartUntilLoginWindowMapped(benchmark::State& state, WindowManagerDisplay::Frames frames) {
    WindowManagerDisplay display(96, frames);
    if (!display.failure().empty()) {
        state.SkipWithError(display.failure().c_str());
        return;
    }
    MapWatch watch(display.name());
    if (!watch.connected()) {
        state.SkipWithError("cannot connect to the X server started for the bench");
        return;
    }
    ProgramFolder folder;
    ChildEnvironment env(display.name());
    std::vector<Shown> program;
    std::vector<Shown> dialog;
    for (auto _ : state) {
        // Taken in turns, so that whatever else the machine does falls on both alike.
        const bool programFirst = program.size() % 2 == 0;
        const Shown first = startUntilShown(programFirst ? folder.program() : JOTTEREL_BARE_DIALOG, env.get(), watch);
        const Shown second = startUntilShown(programFirst ? JOTTEREL_BARE_DIALOG : folder.program(), env.get(), watch);
        if (first.painted < 0 || second.painted < 0) {
            state.SkipWithError("a login window was not shown and painted within 10 s");
            break;
        }
        program.push_back(programFirst ? first : second);
        dialog.push_back(programFirst ? second : first);
        state.SetIterationTime(program.back().mapped);
    }
    auto medianMs = [](const std::vector<Shown>& runs, double Shown::*when) {
        std::vector<double> values;
        for (const Shown& run : runs) {
            values.push_back(run.*when * 1000);
        }
        return median(values);
    };
    const double programMs = medianMs(program, &Shown::mapped);
    const double dialogMs = medianMs(dialog, &Shown::mapped);
    const double programPaintedMs = medianMs(program, &Shown::painted);
    const double dialogPaintedMs = medianMs(dialog, &Shown::painted);
    state.counters["program_ms"] = programMs;
    state.counters["bare_dialog_ms"] = dialogMs;
    state.counters["program/dialog"] = dialogMs > 0 ? programMs / dialogMs : 0;
    state.counters["program_painted_ms"] = programPaintedMs;
    state.counters["bare_dialog_painted_ms"] = dialogPaintedMs;
    state.counters["painted/dialog"] = dialogPaintedMs > 0 ? programPaintedMs / dialogPaintedMs : 0;
    double worst = 0;
    for (const Shown& run : program) {
        worst = std::max(worst, run.mapped * 1000);
    }
    state.counters["program_worst_ms"] = worst;
}
BENCHMARK_CAPTURE(BM_StartUntilLoginWindowMapped, no_window_manager, WindowManagerDisplay::Frames::None)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);
BENCHMARK_CAPTURE(BM_StartUntilLoginWindowMapped, icewm, WindowManagerDisplay::Frames::WindowManager)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

} // namespace
