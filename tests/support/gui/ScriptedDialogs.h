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
        enum Kind { Message, Input, MaskedInput, Beep } kind = Message;
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

    Box& expectMsgBox(std::string text, int flags, std::string title, int answer = platform::vbOK);
    Box& expectInputBox(std::string prompt, std::string title, std::string defaultText, std::string input);
    // A password box: what is typed is masked and there is no default text.
    Box& expectMaskedInputBox(std::string prompt, std::string title, std::string input);
    Box& expectBeep();

    // Every expected box has been shown.
    bool done() const { return m_expected.empty(); }
    // Forgets what is still expected (after a test has failed for another reason).
    void clear() { m_expected.clear(); }

    // Everything shown so far, in order.
    const std::vector<Box>& shown() const { return m_shown; }

    int msgBox(const std::string& text, int flags, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::string maskedInputBox(const std::string& prompt, const std::string& title) override;
    void beep() override;

private:
    std::string answerInput(Box shown);

    std::deque<Box> m_expected;
    std::vector<Box> m_shown;
    platform::Dialogs* m_previous = nullptr;
};
