#include "platform/qt/TextBox.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/qt/Ansi.h"

namespace platform {
namespace {

// The widget's text for a text of record: every CR LF, lone CR or lone LF is one break.
QString widgetText(const std::string& text) {
    std::string flat;
    flat.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            flat += '\n';
        } else {
            flat += text[i];
        }
    }
    return ToQString(flat);
}

} // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    updateTabStops();
    // As the desktop's text boxes do, the selection shows only while the box has the focus: the
    // page view keeps its whole text selected after a page is shown or an entry committed.
    QPalette p = palette();
    p.setBrush(QPalette::Inactive, QPalette::Highlight, p.brush(QPalette::Inactive, QPalette::Base));
    p.setBrush(QPalette::Inactive, QPalette::HighlightedText, p.brush(QPalette::Inactive, QPalette::Text));
    setPalette(p);
    connect(this, &QPlainTextEdit::textChanged, this, &TextBox::widgetEdited);
}

void TextBox::SetText(std::string text) {
    m_text = std::move(text);
    m_settingText = true;
    setPlainText(widgetText(m_text));
    m_settingText = false;
}

void TextBox::SetLocked(bool locked) {
    setReadOnly(locked);
    if (locked) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

int TextBox::WidgetPosition(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    int pos = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        // The LF of a CR LF pair is no character of its own in the widget.
        if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) {
            ++pos;
        }
    }
    return pos;
}

std::size_t TextBox::RecordOffset(const std::string& text, int position) {
    std::size_t i = 0;
    for (int pos = 0; pos < position && i < text.size(); ++pos) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            i += 2;
        } else {
            ++i;
        }
    }
    return i;
}

std::size_t TextBox::SelStart() const {
    return RecordOffset(m_text, textCursor().selectionStart());
}

std::size_t TextBox::SelLength() const {
    const QTextCursor c = textCursor();
    return RecordOffset(m_text, c.selectionEnd()) - RecordOffset(m_text, c.selectionStart());
}

void TextBox::Select(std::size_t start, std::size_t length) {
    start = std::min(start, m_text.size());
    length = std::min(length, m_text.size() - start);
    QTextCursor c(document());
    c.setPosition(WidgetPosition(m_text, start));
    c.setPosition(WidgetPosition(m_text, start + length), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

std::string TextBox::SelText() const {
    const std::size_t start = SelStart();
    return m_text.substr(start, SelLength());
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)) {
        if (!isReadOnly()) {
            insertPlainText(QStringLiteral("\n"));
        }
        event->accept();
        return;
    }
    if (enter) {
        event->ignore(); // the window's default button takes it
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateTabStops();
    }
}

void TextBox::updateTabStops() {
    // A tab stop every eight characters, as the desktop's text boxes place them: the entries of
    // the page view line up after their numbers.
    setTabStopDistance(8 * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
}

void TextBox::widgetEdited() {
    if (m_settingText) {
        return;
    }
    // The user typed: the widget's text becomes the text of record, each break a CR LF.
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const std::string flat = FromQString(raw);
    std::string text;
    text.reserve(flat.size() + flat.size() / 16);
    for (char c : flat) {
        if (c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    m_text = std::move(text);
}

} // namespace platform
