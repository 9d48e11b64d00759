#include "support/gui/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

// Makes control bytes readable in a failure message.
std::string visible(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out;
}

std::string describe(const ScriptedDialogs::Box& b) {
    switch (b.kind) {
    case ScriptedDialogs::Box::Message:
        return "msgBox(\"" + visible(b.text) + "\", " + std::to_string(b.flags) + ", \"" + b.title + "\")";
    case ScriptedDialogs::Box::Input:
        return "inputBox(\"" + visible(b.text) + "\", \"" + b.title + "\", \"" + visible(b.defaultText) + "\")";
    case ScriptedDialogs::Box::MaskedInput:
        return "maskedInputBox(\"" + visible(b.text) + "\", \"" + b.title + "\")";
    case ScriptedDialogs::Box::Beep:
        return "Beep";
    }
    return "?";
}

int safeAnswer(int flags) {
    switch (flags & 7) {
    case 3:
    case 1:
        return platform::vbCancel;
    case 4:
        return platform::vbNo;
    default:
        return platform::vbOK;
    }
}

} // namespace

ScriptedDialogs::ScriptedDialogs() {
    try {
        m_previous = &platform::ui();
    } catch (const std::exception&) {
        m_previous = nullptr;
    }
    platform::setUi(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    for (const Box& b : m_expected) {
        ADD_FAILURE() << "expected but never shown: " << describe(b);
    }
    platform::setUi(m_previous);
}

ScriptedDialogs::Box& ScriptedDialogs::expectMsgBox(std::string text, int flags, std::string title, int answer) {
    Box b;
    b.kind = Box::Message;
    b.text = std::move(text);
    b.flags = flags;
    b.title = std::move(title);
    b.answer = answer;
    m_expected.push_back(std::move(b));
    return m_expected.back();
}

ScriptedDialogs::Box& ScriptedDialogs::expectInputBox(std::string prompt, std::string title, std::string defaultText,
                                                      std::string input) {
    Box b;
    b.kind = Box::Input;
    b.text = std::move(prompt);
    b.title = std::move(title);
    b.defaultText = std::move(defaultText);
    b.input = std::move(input);
    m_expected.push_back(std::move(b));
    return m_expected.back();
}

ScriptedDialogs::Box& ScriptedDialogs::expectMaskedInputBox(std::string prompt, std::string title, std::string input) {
    Box b;
    b.kind = Box::MaskedInput;
    b.text = std::move(prompt);
    b.title = std::move(title);
    b.input = std::move(input);
    m_expected.push_back(std::move(b));
    return m_expected.back();
}

ScriptedDialogs::Box& ScriptedDialogs::expectBeep() {
    Box b;
    b.kind = Box::Beep;
    m_expected.push_back(std::move(b));
    return m_expected.back();
}

int ScriptedDialogs::msgBox(const std::string& text, int flags, const std::string& title) {
    Box shown;
    shown.kind = Box::Message;
    shown.text = text;
    shown.flags = flags;
    shown.title = title;
    if (m_expected.empty() || m_expected.front().kind != Box::Message || m_expected.front().text != text ||
        m_expected.front().flags != flags || m_expected.front().title != title) {
        ADD_FAILURE() << "unexpected " << describe(shown)
                      << (m_expected.empty() ? std::string(", nothing more expected")
                                             : ", expected " + describe(m_expected.front()));
        shown.answer = safeAnswer(flags);
        m_shown.push_back(shown);
        return shown.answer;
    }
    Box expected = std::move(m_expected.front());
    m_expected.pop_front();
    if (expected.whileShown) {
        expected.whileShown();
    }
    shown.answer = expected.answer;
    m_shown.push_back(shown);
    return expected.answer;
}

std::string ScriptedDialogs::inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    Box shown;
    shown.kind = Box::Input;
    shown.text = prompt;
    shown.title = title;
    shown.defaultText = defaultText;
    return answerInput(std::move(shown));
}

std::string ScriptedDialogs::maskedInputBox(const std::string& prompt, const std::string& title) {
    Box shown;
    shown.kind = Box::MaskedInput;
    shown.text = prompt;
    shown.title = title;
    return answerInput(std::move(shown));
}

std::string ScriptedDialogs::answerInput(Box shown) {
    if (m_expected.empty() || m_expected.front().kind != shown.kind || m_expected.front().text != shown.text ||
        m_expected.front().title != shown.title || m_expected.front().defaultText != shown.defaultText) {
        ADD_FAILURE() << "unexpected " << describe(shown)
                      << (m_expected.empty() ? std::string(", nothing more expected")
                                             : ", expected " + describe(m_expected.front()));
        m_shown.push_back(shown);
        return {};
    }
    Box expected = std::move(m_expected.front());
    m_expected.pop_front();
    if (expected.whileShown) {
        expected.whileShown();
    }
    shown.input = expected.input;
    m_shown.push_back(shown);
    return expected.input;
}

void ScriptedDialogs::beep() {
    Box shown;
    shown.kind = Box::Beep;
    if (m_expected.empty() || m_expected.front().kind != Box::Beep) {
        ADD_FAILURE() << "unexpected Beep"
                      << (m_expected.empty() ? std::string() : ", expected " + describe(m_expected.front()));
        m_shown.push_back(shown);
        return;
    }
    Box expected = std::move(m_expected.front());
    m_expected.pop_front();
    if (expected.whileShown) {
        expected.whileShown();
    }
    m_shown.push_back(shown);
}
