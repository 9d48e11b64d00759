#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

#include "platform/core/FileAttributes.h"
#include "store/MemberSession.h"
#include "store/PasswordFile.h"

// Start-up of the real program, from the moment it is started until the X server maps its login
// window (the window is then on screen; its first frame follows when the program paints). Run
// it under an X server without a window manager, for instance: xvfb-run -a build/bench/bench_gui
//
// The program runs from a folder of its own holding a copy of it and a few members, as a user
// would start it.

extern char** environ;

namespace {

constexpr const char* kLoginTitle = "Jotterel - Member login";
constexpr int kMembers = 5;

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

// The environment the bench was started with (without the platform its own windows use).
std::vector<char*> childEnvironment() {
    const bool dropPlatform = std::getenv("JOTTEREL_BENCH_SET_PLATFORM") != nullptr;
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "JOTTEREL_BENCH_SET_PLATFORM=", 28) == 0 ||
            (dropPlatform && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) == 0)) {
            continue;
        }
        env.push_back(*e);
    }
    env.push_back(nullptr);
    return env;
}

std::string windowName(xcb_connection_t* x, xcb_window_t window) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(x, cookie, nullptr);
    if (!reply) {
        return {};
    }
    std::string name(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return name;
}

// Waits until a top-level window named title is mapped; false after timeoutMs.
bool waitForMappedWindow(xcb_connection_t* x, const std::string& title, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
            std::free(event);
            if (mapped && windowName(x, window) == title) {
                return true;
            }
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(x)) {
            return false;
        }
        ::poll(&fd, 1, static_cast<int>(left.count()));
    }
}

void BM_StartUntilLoginWindowMapped(benchmark::State& state) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        state.SkipWithError("needs an X server: run under xvfb-run");
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    ProgramFolder folder;
    const std::string program = folder.program();
    std::vector<char*> env = childEnvironment();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, env.data()) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        const bool shown = waitForMappedWindow(x, kLoginTitle, 10000);
        const auto end = std::chrono::steady_clock::now();
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        if (!shown) {
            state.SkipWithError("the login window was not shown within 10 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    xcb_disconnect(x);
}
BENCHMARK(BM_StartUntilLoginWindowMapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
