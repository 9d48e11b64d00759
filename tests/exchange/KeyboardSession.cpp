// A member's session with jotterel.exe, typed through Windows' own keyboard input (SendInput, the
// text as Unicode characters), each key going to the window a member would see in front:
//
//   keyboard_session JOTTEREL.EXE
//
// starts the program in its folder (an application folder with nobody in it yet), adds a
// member, logs in with the initial password, commits an entry, finds it, exports the page,
// checks that Notepad opened the export maximised and in front, closes Notepad and exits.
// What the member folder then holds is for the Linux build to check. Exit status 0 when every
// window came as expected and the program ended by itself.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "TypedDiary.h"

namespace {

using namespace std::chrono_literals;

// A machine shared with other work is slow to paint a window; no step waits longer than this.
constexpr auto kPatience = 90s;

class StepFailed : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void say(const std::string& text) {
    std::printf("keyboard session: %s\n", text.c_str());
    std::fflush(stdout);
}

struct Window {
    HWND handle;
    DWORD process;
    std::wstring title;
};

// The visible top-level windows, front to back.
std::vector<Window> visibleWindows() {
    std::vector<Window> found;
    ::EnumWindows(
        [](HWND handle, LPARAM list) -> BOOL {
            if (::IsWindowVisible(handle)) {
                Window w{handle, 0, {}};
                ::GetWindowThreadProcessId(handle, &w.process);
                wchar_t title[512] = {};
                ::GetWindowTextW(handle, title, 512);
                w.title = title;
                reinterpret_cast<std::vector<Window>*>(list)->push_back(w);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Key presses through the system's input queue, as a keyboard makes them.
class Keyboard {
public:
    // A key, with the modifiers held down while it is pressed (VK_MENU is Alt).
    void press(std::initializer_list<WORD> modifiers, WORD key) {
        std::vector<INPUT> inputs;
        for (WORD m : modifiers) {
            inputs.push_back(virtualKey(m, false));
        }
        inputs.push_back(virtualKey(key, false));
        inputs.push_back(virtualKey(key, true));
        for (auto m = modifiers.end(); m != modifiers.begin();) {
            inputs.push_back(virtualKey(*--m, true));
        }
        send(inputs);
    }
    void press(WORD key) { press({}, key); }

    // Text as Unicode characters, whatever the keyboard layout, one at a time.
    void type(std::string_view utf8) {
        for (wchar_t unit : wide(utf8)) {
            INPUT down{};
            down.type = INPUT_KEYBOARD;
            down.ki.wScan = unit;
            down.ki.dwFlags = KEYEVENTF_UNICODE;
            INPUT up = down;
            up.ki.dwFlags |= KEYEVENTF_KEYUP;
            send({down, up});
        }
    }

private:
    static INPUT virtualKey(WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return input;
    }
    static void send(std::vector<INPUT> inputs) {
        const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) {
            throw StepFailed("the system took " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
                             " key events");
        }
        // A person types no faster; the program handles each key before the next comes.
        std::this_thread::sleep_for(40ms);
    }
};

class Session {
public:
    explicit Session(const std::wstring& program) {
        std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
        std::wstring line = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &startup, &m_program)) {
            throw StepFailed("jotterel.exe cannot be started (error " + std::to_string(::GetLastError()) + ")");
        }
    }
    ~Session() {
        if (m_program.hProcess) {
            if (::WaitForSingleObject(m_program.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(m_program.hProcess, 99);
            }
            ::CloseHandle(m_program.hThread);
            ::CloseHandle(m_program.hProcess);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Waits until the program's window of this title is in front, one the session has not met
    // before when fresh (each message box is a window of its own, most of them titled
    // "Jotterel"). A window that stays behind is brought in front, as a click on it would.
    HWND waitFor(const std::string& what, const std::string& title, bool fresh) {
        const std::wstring wanted = wide(title);
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        auto behindSince = std::chrono::steady_clock::time_point::max();
        for (;;) {
            if (::WaitForSingleObject(m_program.hProcess, 0) == WAIT_OBJECT_0) {
                throw StepFailed("jotterel.exe ended while " + what + " was awaited");
            }
            if (std::chrono::steady_clock::now() > giveUp) {
                throw StepFailed(what + " (a window titled \"" + title + "\") never came in front; in front: \"" +
                                 narrow(titleOf(::GetForegroundWindow())) + "\"");
            }
            HWND candidate = nullptr;
            for (const Window& w : visibleWindows()) {
                if (w.process == m_program.dwProcessId && w.title == wanted && ::IsWindowEnabled(w.handle) &&
                    (!fresh || m_met.count(w.handle) == 0)) {
                    candidate = w.handle;
                    break;
                }
            }
            if (candidate && ::GetForegroundWindow() == candidate) {
                // The window is in front; its controls take the focus a moment later.
                std::this_thread::sleep_for(500ms);
                if (::GetForegroundWindow() == candidate) {
                    m_met.insert(candidate);
                    say(what + " is in front");
                    return candidate;
                }
            } else if (candidate) {
                const auto now = std::chrono::steady_clock::now();
                if (behindSince == std::chrono::steady_clock::time_point::max()) {
                    behindSince = now;
                } else if (now - behindSince > 2s) {
                    ::SetForegroundWindow(candidate);
                    behindSince = now;
                }
            } else {
                behindSince = std::chrono::steady_clock::time_point::max();
            }
            std::this_thread::sleep_for(100ms);
        }
    }

    // Notepad, started by the program with the export: its window must come maximised and in
    // front, showing the file.
    HWND waitForNotepad(const std::string& fileName) {
        const std::wstring file = wide(fileName);
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        std::wstring lastTitle;
        for (;;) {
            for (const Window& w : visibleWindows()) {
                if (w.process != m_program.dwProcessId && w.title.find(L"Notepad") != std::wstring::npos) {
                    lastTitle = w.title;
                    if (w.title.find(file) != std::wstring::npos && ::IsZoomed(w.handle) &&
                        ::GetForegroundWindow() == w.handle) {
                        say("Notepad shows \"" + narrow(w.title) + "\", maximised and in front");
                        return w.handle;
                    }
                }
            }
            if (std::chrono::steady_clock::now() > giveUp) {
                if (lastTitle.empty()) {
                    throw StepFailed("Notepad never opened");
                }
                throw StepFailed("Notepad opened as \"" + narrow(lastTitle) + "\" but not with " + fileName +
                                 ", maximised and in front");
            }
            std::this_thread::sleep_for(100ms);
        }
    }

    void waitForWindowGone(HWND window, const std::string& what) {
        const auto giveUp = std::chrono::steady_clock::now() + kPatience;
        while (::IsWindow(window) && ::IsWindowVisible(window)) {
            if (std::chrono::steady_clock::now() > giveUp) {
                throw StepFailed(what + " did not close");
            }
            std::this_thread::sleep_for(100ms);
        }
    }

    // The program ends by itself, successfully.
    void waitForEnd() {
        if (::WaitForSingleObject(m_program.hProcess, static_cast<DWORD>(kPatience / 1ms)) != WAIT_OBJECT_0) {
            throw StepFailed("jotterel.exe did not end after Exit");
        }
        DWORD status = 0;
        ::GetExitCodeProcess(m_program.hProcess, &status);
        if (status != 0) {
            throw StepFailed("jotterel.exe ended with status " + std::to_string(status));
        }
        say("jotterel.exe ended");
    }

private:
    static std::wstring titleOf(HWND window) {
        wchar_t title[512] = {};
        if (window) {
            ::GetWindowTextW(window, title, 512);
        }
        return title;
    }

    PROCESS_INFORMATION m_program{};
    std::set<HWND> m_met;
};

void runSession(const std::wstring& program) {
    Keyboard keys;
    Session jotterel(program);
    const std::string diary = std::string("Jotterel of '") + typed::kMember + "'";
    const std::string login = "Jotterel - Member login";

    jotterel.waitFor("the login window", login, false);
    keys.press({VK_MENU}, 'A');
    jotterel.waitFor("the box for the new member's name", "Add new user", true);
    keys.type(typed::kMember);
    keys.press(VK_RETURN);
    jotterel.waitFor("the message with the new member's password", "Jotterel", true);
    keys.press(VK_RETURN);

    // The new member is chosen and the password box has the focus; OK is the default button.
    jotterel.waitFor("the login window, after adding", login, false);
    keys.type(typed::kInitialPassword);
    keys.press(VK_RETURN);

    // The entry box has the focus; Enter commits, and Yes is the default answer.
    jotterel.waitFor("the diary window", diary, false);
    keys.type(typed::kEntry);
    keys.press(VK_RETURN);
    jotterel.waitFor("the question whether to save the entry", "Jotterel", true);
    keys.press(VK_RETURN);

    jotterel.waitFor("the diary window, after committing", diary, false);
    keys.press({VK_CONTROL}, 'F');
    jotterel.waitFor("the box for the text to find", "Jotterel", true);
    keys.type(typed::kSearch);
    keys.press(VK_RETURN);
    // Only a hit opens the results window; no hit would bring a message instead.
    HWND results = jotterel.waitFor("the find results", "Find results (double-click on item to open page)", true);
    keys.press({VK_MENU}, VK_F4);
    jotterel.waitForWindowGone(results, "the find results window");

    jotterel.waitFor("the diary window, after finding", diary, false);
    keys.press({VK_CONTROL}, 'E');
    jotterel.waitFor("the question whether to export the page", "Jotterel", true);
    keys.press(VK_RETURN);
    jotterel.waitFor("the box for the export's name", "Jotterel", true);
    keys.press(VK_RETURN); // the name offered, "Page 1.txt"
    jotterel.waitFor("the message that the page was printed", "Jotterel", true);
    keys.press(VK_RETURN);
    HWND notepad = jotterel.waitForNotepad(typed::kExportName);
    keys.press({VK_MENU}, VK_F4);
    jotterel.waitForWindowGone(notepad, "Notepad");

    jotterel.waitFor("the diary window, after exporting", diary, false);
    keys.press({VK_MENU}, 'X');
    jotterel.waitForEnd();
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc != 2) {
        std::fprintf(stderr, "usage: keyboard_session JOTTEREL.EXE\n");
        return 2;
    }
    try {
        runSession(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "keyboard session failed: %s\n", e.what());
        return 1;
    }
    say("done");
    return 0;
}
