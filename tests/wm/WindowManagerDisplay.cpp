#include "wm/WindowManagerDisplay.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

// True when program is found on the search path.
bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Starts a program with the test's environment and extra variables, its output discarded. It
// inherits every descriptor not closed on exec.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    std::vector<std::string> envText(extraEnv);
    for (char** e = environ; *e; ++e) {
        envText.emplace_back(*e);
    }
    std::vector<char*> env;
    for (std::string& e : envText) {
        env.push_back(e.data());
    }
    env.push_back(nullptr);
    std::vector<std::string> argText(args);
    std::vector<char*> argv;
    for (std::string& a : argText) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

} // namespace

std::string& WindowManagerDisplay::skipReason() {
    static std::string reason;
    return reason;
}

WindowManagerDisplay::WindowManagerDisplay(int dpi, Frames frames) {
    if (!onPath("Xvfb")) {
        m_failure = "Xvfb is not installed (Debian package xvfb)";
    } else if (frames == Frames::WindowManager && !onPath("icewm")) {
        m_failure = "icewm is not installed (Debian package icewm)";
    } else if (startServer(dpi) && frames == Frames::WindowManager) {
        startWindowManager();
    }
}

WindowManagerDisplay::~WindowManagerDisplay() {
    stop(m_windowManager);
    stop(m_server);
}

bool WindowManagerDisplay::startServer(int dpi) {
    // The server picks a free display itself and writes its number to the pipe.
    int fds[2];
    if (::pipe(fds) != 0) {
        m_failure = "cannot make a pipe for Xvfb";
        return false;
    }
    ::fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    m_server = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-dpi",
                      std::to_string(dpi), "-nolisten", "tcp", "-noreset"},
                     {});
    ::close(fds[1]);
    std::string number;
    if (m_server) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        pollfd fd{fds[0], POLLIN, 0};
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline && ::poll(&fd, 1, 200) >= 0) {
            if (!(fd.revents & (POLLIN | POLLHUP))) {
                continue;
            }
            if (::read(fds[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            number += c;
        }
    }
    ::close(fds[0]);
    if (number.empty()) {
        m_failure = "Xvfb did not start";
        return false;
    }
    m_name = ":" + number;
    return true;
}

bool WindowManagerDisplay::startWindowManager() {
    // A configuration of its own: no task bar, the classic theme.
    std::ofstream(m_config / "preferences") << "ShowTaskBar=0\nTaskBarAutoHide=0\n";
    std::ofstream(m_config / "theme") << "Theme=\"win95/default.theme\"\n";
    m_windowManager = spawn({"icewm"}, {"DISPLAY=" + m_name, "ICEWM_PRIVCFG=" + m_config.path()});
    if (!m_windowManager || !windowManagerRuns(10000)) {
        m_failure = "icewm did not start on " + m_name;
        return false;
    }
    return true;
}

// A window manager announces itself on the root window (_NET_SUPPORTING_WM_CHECK); until it has,
// windows would be shown without frames.
bool WindowManagerDisplay::windowManagerRuns(int timeoutMs) const {
    xcb_connection_t* x = xcb_connect(m_name.c_str(), nullptr);
    if (xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 24, "_NET_SUPPORTING_WM_CHECK"), nullptr);
    bool runs = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (atom && !runs && std::chrono::steady_clock::now() < deadline) {
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(x, xcb_get_property(x, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        runs = reply && xcb_get_property_value_length(reply) == 4;
        std::free(reply);
        if (!runs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    std::free(atom);
    xcb_disconnect(x);
    return runs;
}

void WindowManagerDisplay::stop(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 40; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = 0;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = 0;
}
