#include "platform/qt/TextBox.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/core/Unicode.h"
#include "platform/core/Wipe.h"
#include "platform/qt/QtText.h"

namespace platform {
namespace {

// UTF-16 units of the character c.
std::size_t unitsOf(char32_t c) {
    return c > 0xFFFF ? 2 : 1;
}

// The byte index in text of the offset (UTF-16 units), or text's size when it lies beyond.
std::size_t byteIndex(const std::string& text, std::size_t offset) {
    std::size_t i = 0;
    for (std::size_t units = 0; i < text.size() && units < offset;) {
        units += unitsOf(nextCodePoint(text, i));
    }
    return i;
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

void TextBox::setText(std::string text) {
    platform::wipe(m_text);
    m_text = std::move(text);
    // Every CR LF, lone CR or lone LF is one break in the widget; which it was is kept, so that
    // an edit elsewhere gives each break back as it was.
    std::string flat;
    flat.reserve(m_text.size());
    m_breaks.clear();
    for (std::size_t i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == '\r' && i + 1 < m_text.size() && m_text[i + 1] == '\n') {
            m_breaks.push_back(Break::CrLf);
            flat += '\n';
            ++i;
        } else if (m_text[i] == '\r' || m_text[i] == '\n') {
            m_breaks.push_back(m_text[i] == '\r' ? Break::Cr : Break::Lf);
            flat += '\n';
        } else {
            flat += m_text[i];
        }
    }
    platform::wipe(m_shown);
    m_shown = toQString(flat);
    platform::wipe(flat);
    m_settingText = true;
    setPlainText(m_shown);
    m_settingText = false;
}

void TextBox::wipe() {
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
    platform::wipe(m_text);
    platform::wipe(m_shown);
    m_breaks.clear();
    m_settingText = true;
    clear(); // the document, with what could be undone
    m_settingText = false;
}

std::size_t TextBox::length() const {
    std::size_t units = 0;
    for (std::size_t i = 0; i < m_text.size();) {
        units += unitsOf(nextCodePoint(m_text, i));
    }
    return units;
}

void TextBox::setLocked(bool locked) {
    setReadOnly(locked);
    if (locked) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

int TextBox::widgetPosition(const std::string& text, std::size_t offset) {
    int pos = 0;
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size() && units < offset;) {
        const bool lfOfCrLf = text[i] == '\n' && i > 0 && text[i - 1] == '\r';
        const std::size_t n = unitsOf(nextCodePoint(text, i));
        units += n;
        // The LF of a CR LF pair is no character of its own in the widget.
        if (!lfOfCrLf) {
            pos += static_cast<int>(n);
        }
    }
    return pos;
}

std::size_t TextBox::recordOffset(const std::string& text, int position) {
    std::size_t units = 0;
    std::size_t i = 0;
    for (int pos = 0; pos < position && i < text.size();) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            i += 2;
            units += 2;
            pos += 1;
        } else {
            const std::size_t n = unitsOf(nextCodePoint(text, i));
            units += n;
            pos += static_cast<int>(n);
        }
    }
    return units;
}

std::size_t TextBox::selStart() const {
    return recordOffset(m_text, textCursor().selectionStart());
}

std::size_t TextBox::selLength() const {
    const QTextCursor c = textCursor();
    return recordOffset(m_text, c.selectionEnd()) - recordOffset(m_text, c.selectionStart());
}

void TextBox::select(std::size_t start, std::size_t count) {
    const std::size_t all = length();
    const std::size_t end = count > all ? all : start + count;
    QTextCursor c(document());
    c.setPosition(widgetPosition(m_text, start));
    c.setPosition(widgetPosition(m_text, std::min(end, all)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

std::string TextBox::selText() const {
    const std::size_t start = byteIndex(m_text, selStart());
    const std::size_t end = byteIndex(m_text, selStart() + selLength());
    return m_text.substr(start, end - start);
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

bool TextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !isReadOnly()) {
        insertPlainText(source->text());
    }
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
    QString shown = document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
    // One edit changes one stretch of the text: the breaks before it and after it are the ones
    // the text of record had there, a break typed in it is a CR LF. So a line end that was a lone
    // CR stays one, and committing after an edit adds nothing at each line break.
    qsizetype prefix = 0;
    const qsizetype oldSize = m_shown.size();
    const qsizetype newSize = shown.size();
    while (prefix < oldSize && prefix < newSize && m_shown[prefix] == shown[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < oldSize - prefix && suffix < newSize - prefix &&
           m_shown[oldSize - 1 - suffix] == shown[newSize - 1 - suffix]) {
        ++suffix;
    }
    const auto breaksIn = [](const QString& s, qsizetype from, qsizetype to) {
        return static_cast<std::size_t>(QStringView(s).mid(from, to - from).count(QLatin1Char('\n')));
    };
    const std::size_t before = std::min(breaksIn(m_shown, 0, prefix), m_breaks.size());
    const std::size_t after = std::min(breaksIn(m_shown, oldSize - suffix, oldSize), m_breaks.size() - before);
    const std::size_t typed = breaksIn(shown, prefix, newSize - suffix);
    std::vector<Break> breaks(m_breaks.begin(), m_breaks.begin() + static_cast<std::ptrdiff_t>(before));
    breaks.insert(breaks.end(), typed, Break::CrLf);
    breaks.insert(breaks.end(), m_breaks.end() - static_cast<std::ptrdiff_t>(after), m_breaks.end());

    std::string flat = fromQString(shown);
    std::string text;
    text.reserve(flat.size() + flat.size() / 16);
    std::size_t next = 0;
    for (char c : flat) {
        if (c != '\n') {
            text += c;
            continue;
        }
        switch (next < breaks.size() ? breaks[next++] : Break::CrLf) {
        case Break::CrLf:
            text += "\r\n";
            break;
        case Break::Cr:
            text += '\r';
            break;
        case Break::Lf:
            text += '\n';
            break;
        }
    }
    platform::wipe(flat);
    platform::wipe(m_text);
    m_text = std::move(text);
    platform::wipe(m_shown);
    m_shown = std::move(shown);
    m_breaks = std::move(breaks);
}

} // namespace platform
