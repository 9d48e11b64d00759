#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/Dialogs.h"

// Dialogs for window tests. Each box the program shows must be the next one expected: same
// kind, exact text, flags and title (and default text for an input box). It then returns the
// scripted answer at once. A box nobody expected, or one left over when the script goes away,
// fails the test; an unexpected box answers No, Cancel or empty text so the program unwinds.
// Installs itself for its lifetime.
class ScriptedDialogs : public platform::Dialogs {
public:
    struct Box {
        enum Kind { Message, Input, Beep } kind = Message;
        std::string text; // message or prompt
        int flags = 0;
        std::string title;
        std::string defaultText;
        int answer = platform::vbOK;
        std::string input;
        std::function<void()> whileShown; // runs while the box is up (check the window then)
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    Box& ExpectMsgBox(std::string text, int flags, std::string title, int answer = platform::vbOK);
    Box& ExpectInputBox(std::string prompt, std::string title, std::string defaultText, std::string input);
    Box& ExpectBeep();

    // Every expected box has been shown.
    bool Done() const { return m_expected.empty(); }
    // Forgets what is still expected (after a test has failed for another reason).
    void Clear() { m_expected.clear(); }

    // Everything shown so far, in order.
    const std::vector<Box>& Shown() const { return m_shown; }

    int MsgBox(const std::string& text, int flags, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    void Beep() override;

private:
    std::deque<Box> m_expected;
    std::vector<Box> m_shown;
    platform::Dialogs* m_previous = nullptr;
};
