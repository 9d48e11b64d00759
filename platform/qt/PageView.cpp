#include "platform/qt/PageView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/core/Unicode.h"
#include "platform/qt/PageViewAccessible.h"
#include "platform/qt/QtText.h"

namespace platform {
namespace {

// The margin around the text, as the desktop's text boxes keep it.
constexpr qreal kMargin = 4;
// Laid-out lines kept for lines that leave the view, so that scrolling back costs nothing.
constexpr std::size_t kLayoutsKept = 1024;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The characters that end a word for a double-click and for the keyboard's word moves, besides
// blanks, as the desktop's text boxes take them.
bool isWordSeparator(QChar c) {
    switch (c.unicode()) {
    case '.':
    case ',':
    case '?':
    case '!':
    case '@':
    case '#':
    case '$':
    case ':':
    case ';':
    case '-':
    case '<':
    case '>':
    case '[':
    case ']':
    case '(':
    case ')':
    case '{':
    case '}':
    case '=':
    case '/':
    case '+':
    case '%':
    case '&':
    case '^':
    case '*':
    case '\'':
    case '"':
    case '`':
    case '~':
    case '|':
    case '\\':
        return true;
    default:
        return false;
    }
}

// Wrapping at word boundaries looks for the end of the word on every row, which takes minutes
// for a word of a megabyte; a line holding a word far wider than any view wraps anywhere.
bool hasEndlessWord(const QString& text) {
    constexpr qsizetype kEndless = 4096;
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kEndless) {
            return true;
        }
    }
    return false;
}

qreal heightOf(const QTextLayout& layout) {
    const int rows = layout.lineCount();
    if (rows == 0) {
        return 0;
    }
    const QTextLine last = layout.lineAt(rows - 1);
    return last.y() + last.height() + (last.leading() < 0 ? std::ceil(last.leading()) : 0);
}

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    installPageViewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // lines wrap to the view's width
    viewport()->setCursor(Qt::IBeamCursor);
    // As the desktop's text boxes do, the selection shows only while the view has the focus: the
    // page view keeps its whole text selected after a page is shown or an entry committed.
    QPalette p = palette();
    p.setBrush(QPalette::Inactive, QPalette::Highlight, p.brush(QPalette::Inactive, QPalette::Base));
    p.setBrush(QPalette::Inactive, QPalette::HighlightedText, p.brush(QPalette::Inactive, QPalette::Text));
    setPalette(p);
    updateTabStops();
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &PageView::scrollBarActed);
    indexLines();
}

PageView::~PageView() = default;

void PageView::setText(std::string text) {
    // A screen reader hears what the view showed and shows now, for a page it can take whole;
    // of a larger one it reads what it asks for.
    constexpr std::size_t kToldWhole = 1 << 20;
    const bool tell = QAccessible::isActive();
    const QString before = tell && m_text.size() <= kToldWhole ? toQString(m_text) : QString();
    m_text = std::move(text);
    indexLines();
    forgetLayouts();
    m_anchor = m_caret = 0;
    m_caretX = -1;
    m_top = {};
    m_bottomKnown = false;
    m_dragging = false;
    updateScrollBar();
    viewport()->update();
    if (tell) {
        QAccessibleTextUpdateEvent changed(this, 0, before,
                                           m_text.size() <= kToldWhole ? toQString(m_text) : QString());
        QAccessible::updateAccessibility(&changed);
    }
    emit selectionChanged();
}

void PageView::indexLines() {
    // Offsets and line starts fit 32 bits for any page the store shows; beyond, the view shows
    // as much as fits rather than wrapping its offsets.
    constexpr std::size_t kLimit = UINT32_MAX;
    if (m_text.size() > kLimit) {
        std::size_t cut = kLimit;
        while (cut > 0 && (static_cast<unsigned char>(m_text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        m_text.resize(cut);
    }
    // Reserved to size, so the index never holds twice its room while it grows.
    const std::size_t ends = static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), '\n') +
                                                      std::count(m_text.begin(), m_text.end(), '\r'));
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> units; // stays empty while every offset is its byte: plain ASCII
    starts.reserve(ends + 1);
    starts.push_back(0);
    const std::string_view text(m_text);
    const std::size_t n = text.size();
    std::size_t u = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (units.empty()) {
                units.reserve(ends + 1);
                units.assign(starts.begin(), starts.end());
            }
            u += nextCodePoint(text, i) > 0xFFFF ? 2 : 1;
            continue;
        }
        ++i;
        ++u;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i < n && text[i] == '\n') {
                ++i;
                ++u;
            }
            starts.push_back(static_cast<std::uint32_t>(i));
            if (!units.empty()) {
                units.push_back(static_cast<std::uint32_t>(u));
            }
        }
    }
    m_lineStarts = std::move(starts);
    m_lineUnits = std::move(units);
    m_length = u;
}

std::size_t PageView::lineOfOffset(std::size_t offset) const {
    const std::vector<std::uint32_t>& index = m_lineUnits.empty() ? m_lineStarts : m_lineUnits;
    const auto after = std::upper_bound(index.begin(), index.end(), offset);
    return static_cast<std::size_t>(after - index.begin()) - 1;
}

std::size_t PageView::lineLength(std::size_t line) const {
    if (line + 1 >= m_lineStarts.size()) {
        return m_length - lineOffset(line);
    }
    // A line holds no CR or LF of its own, so a CR before the final LF is the same line end.
    const std::size_t next = m_lineStarts[line + 1];
    const bool crLf = m_text[next - 1] == '\n' && next >= m_lineStarts[line] + 2 && m_text[next - 2] == '\r';
    return lineOffset(line + 1) - lineOffset(line) - (crLf ? 2 : 1);
}

QString PageView::lineText(std::size_t line) const {
    const std::size_t begin = m_lineStarts[line];
    std::size_t end = line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] : m_text.size();
    while (end > begin && isLineEnd(m_text[end - 1])) {
        --end;
    }
    const std::string_view bytes(m_text.data() + begin, end - begin);
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    // Decoded as the offsets count it, a byte that starts no character as one U+FFFD.
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const char32_t c = nextCodePoint(bytes, i);
        if (c > 0xFFFF) {
            out += QChar(QChar::highSurrogate(c));
            out += QChar(QChar::lowSurrogate(c));
        } else {
            out += QChar(static_cast<char16_t>(c));
        }
    }
    return out;
}

QString PageView::toPlainText() const {
    QString out;
    for (std::size_t line = 0; line < lineCount(); ++line) {
        if (line > 0) {
            out += QLatin1Char('\n');
        }
        out += lineText(line);
    }
    return out;
}

std::size_t PageView::byteOfOffset(std::size_t offset) const {
    offset = std::min(offset, m_length);
    const std::size_t line = lineOfOffset(offset);
    const std::size_t length = lineLength(line);
    std::size_t i = m_lineStarts[line];
    std::size_t u = lineOffset(line);
    const std::size_t end = std::min(offset, u + length);
    while (u < end) {
        u += nextCodePoint(m_text, i) > 0xFFFF ? 2 : 1;
    }
    // Inside the line end every byte is one offset.
    return i + (offset > u ? offset - u : 0);
}

std::size_t PageView::snapped(std::size_t offset) const {
    offset = std::min(offset, m_length);
    const std::size_t line = lineOfOffset(offset);
    const std::size_t start = lineOffset(line);
    if (offset - start > lineLength(line)) {
        return lineOffset(line + 1); // between the CR and the LF of a line end
    }
    std::size_t i = m_lineStarts[line];
    std::size_t u = start;
    while (u < offset) {
        u += nextCodePoint(m_text, i) > 0xFFFF ? 2 : 1;
    }
    return u; // past a character whose two halves it fell between
}

void PageView::select(std::size_t start, std::size_t count) {
    const std::size_t end = count > m_length ? m_length : start + count;
    moveCaret(snapped(start), snapped(std::min(end, m_length)));
    ensureCaretVisible();
}

std::string PageView::textBetween(std::size_t from, std::size_t to) const {
    const std::size_t begin = byteOfOffset(from);
    const std::size_t end = byteOfOffset(to);
    return end > begin ? m_text.substr(begin, end - begin) : std::string();
}

QString PageView::selectionAsShown() const {
    // What leaves the view is the text as shown: each line end one line feed, a no-break space a
    // space, as the desktop's text boxes give it.
    QString shown = toQString(selText());
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    shown.replace(QChar::Nbsp, QLatin1Char(' '));
    return shown;
}

void PageView::copy() const {
    if (selLength() > 0) {
        QGuiApplication::clipboard()->setText(selectionAsShown());
    }
}

// ---- Layout of the lines on screen

qreal PageView::layoutWidth() const {
    const int width = viewport()->width();
    return (width > 0 ? qreal(width) : qreal(INT_MAX)) - 2 * kMargin;
}

void PageView::forgetLayouts() {
    m_layouts.clear();
}

QTextLayout& PageView::layoutOf(std::size_t line) {
    const qreal width = layoutWidth();
    if (width != m_laidOutWidth) {
        m_layouts.clear();
        m_laidOutWidth = width;
    }
    if (const auto found = m_layouts.find(line); found != m_layouts.end()) {
        return *found->second;
    }
    if (m_layouts.size() >= kLayoutsKept) {
        m_layouts.clear();
    }
    auto layout = std::make_unique<QTextLayout>(lineText(line), font());
    QTextOption option;
    option.setWrapMode(hasEndlessWord(layout->text()) ? QTextOption::WrapAnywhere
                                                      : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(m_tabStop);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
        row.setLeadingIncluded(true);
        row.setLineWidth(width);
        row.setPosition(QPointF(kMargin, y));
        y += row.height();
        if (row.leading() < 0) {
            y += std::ceil(row.leading());
        }
    }
    layout->endLayout();
    ++m_linesLaidOut;
    return *m_layouts.emplace(line, std::move(layout)).first->second;
}

int PageView::rowsOf(const QTextLayout& layout) {
    return std::max(1, layout.lineCount());
}

qreal PageView::rowHeight(std::size_t line, int row) {
    const QTextLayout& layout = layoutOf(line);
    if (row + 1 < layout.lineCount()) {
        return layout.lineAt(row + 1).y() - layout.lineAt(row).y();
    }
    return heightOf(layout) - layout.lineAt(row).y();
}

PageView::Row PageView::rowOfOffset(std::size_t offset) {
    const std::size_t line = lineOfOffset(offset);
    const QTextLine row = layoutOf(line).lineForTextPosition(static_cast<int>(offset - lineOffset(line)));
    return {line, row.isValid() ? row.lineNumber() : 0};
}

bool PageView::nextRow(Row& r) {
    if (r.row + 1 < rowCount(r.line)) {
        ++r.row;
        return true;
    }
    if (r.line + 1 < lineCount()) {
        r = {r.line + 1, 0};
        return true;
    }
    return false;
}

bool PageView::previousRow(Row& r) {
    if (r.row > 0) {
        --r.row;
        return true;
    }
    if (r.line > 0) {
        r.line -= 1;
        r.row = rowCount(r.line) - 1;
        return true;
    }
    return false;
}

qreal PageView::topMargin() const {
    return m_top.line == 0 && m_top.row == 0 ? kMargin : 0;
}

// ---- Painting

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    const QPalette& pal = palette();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(pal.brush(group, QPalette::Highlight));
    selected.setForeground(pal.brush(group, QPalette::HighlightedText));
    painter.setPen(pal.color(QPalette::Text));

    const std::size_t from = selStart();
    const std::size_t to = from + selLength();
    const qreal bottom = viewport()->height();
    qreal y = topMargin();
    for (std::size_t line = m_top.line; line < lineCount() && y < bottom; ++line) {
        const QTextLayout& layout = layoutOf(line);
        const int firstRow = line == m_top.line ? std::min(m_top.row, rowsOf(layout) - 1) : 0;
        const qreal rowTop = layout.lineCount() > 0 ? layout.lineAt(firstRow).y() : 0;
        const QPointF offset(0, y - rowTop);
        const qreal height = heightOf(layout) - rowTop;
        if (y + height >= area.top() && y <= area.bottom()) {
            // The selection in the line's own positions; its line end counts one, and is shown
            // selected when the selection goes on past it.
            const auto start = static_cast<long long>(from) - static_cast<long long>(lineOffset(line));
            const auto length = static_cast<long long>(lineLength(line));
            const bool pastEnd = line + 1 < lineCount() && to >= lineOffset(line + 1);
            const long long end =
                pastEnd ? length + 1 : static_cast<long long>(to) - static_cast<long long>(lineOffset(line));
            QList<QTextLayout::FormatRange> selections;
            if (start <= length && end > 0 && end > start) {
                const long long clipped = std::max(start, 0LL);
                selections.append({static_cast<int>(clipped), static_cast<int>(end - clipped), selected});
            }
            layout.draw(&painter, offset, selections, area);
            const auto caret = static_cast<long long>(m_caret) - static_cast<long long>(lineOffset(line));
            if (m_caretShown && hasFocus() && caret >= 0 && caret <= length) {
                layout.drawCursor(&painter, offset, static_cast<int>(caret), 1);
            }
        }
        y += height;
    }
}

// ---- Geometry and scrolling

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    // A new width wraps the lines anew as they are painted: only the visible ones.
    m_bottomKnown = false;
    if (isVisible()) {
        m_top.row = std::min(m_top.row, rowCount(m_top.line) - 1);
    }
    updateScrollBar();
}

int PageView::visibleRows() {
    const qreal height = viewport()->height();
    qreal y = topMargin();
    int rows = 0;
    Row r = m_top;
    do {
        y += rowHeight(r.line, r.row);
        ++rows;
    } while (y < height && nextRow(r));
    return std::max(1, y > height ? rows - 1 : rows);
}

void PageView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    updateScrollBar();
}

void PageView::updateScrollBar() {
    // A hidden view lays nothing out; it finds its scroll range when it is shown.
    if (!isVisible()) {
        return;
    }
    if (!m_bottomKnown) {
        // The lowest top row: from it on, the last rows of the text fill the view.
        const qreal visible = viewport()->height() - kMargin - 1;
        Row r{lineCount() - 1, rowCount(lineCount() - 1) - 1};
        m_bottom = r;
        qreal height = rowHeight(r.line, r.row);
        while (previousRow(r)) {
            height += rowHeight(r.line, r.row);
            if (height > visible) {
                break;
            }
            m_bottom = r;
        }
        m_bottomKnown = true;
    }
    if (m_top.line > m_bottom.line || (m_top.line == m_bottom.line && m_top.row > m_bottom.row)) {
        m_top = m_bottom;
    }
    QScrollBar* bar = verticalScrollBar();
    m_settingScrollBar = true;
    bar->setRange(0, static_cast<int>(m_bottom.line));
    bar->setSingleStep(1);
    bar->setPageStep(visibleRows());
    bar->setValue(static_cast<int>(m_top.line));
    m_settingScrollBar = false;
}

void PageView::scrollToRow(Row top) {
    updateScrollBar();
    if (m_bottomKnown && (top.line > m_bottom.line || (top.line == m_bottom.line && top.row > m_bottom.row))) {
        top = m_bottom;
    }
    if (top.line == m_top.line && top.row == m_top.row) {
        return;
    }
    m_top = top;
    updateScrollBar();
    viewport()->update();
}

void PageView::scrollByRows(int rows) {
    Row r = m_top;
    for (; rows > 0 && nextRow(r); --rows) {
    }
    for (; rows < 0 && previousRow(r); ++rows) {
    }
    scrollToRow(r);
}

void PageView::scrollBarActed(int action) {
    if (m_settingScrollBar) {
        return;
    }
    int rows = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        rows = 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        rows = -1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        rows = visibleRows();
        break;
    case QAbstractSlider::SliderPageStepSub:
        rows = -visibleRows();
        break;
    default:
        return; // the slider itself moves by lines of the text
    }
    // The scroll bar counts lines of the text; its steps scroll by rows on screen instead.
    scrollByRows(rows);
    m_settingScrollBar = true;
    verticalScrollBar()->setSliderPosition(static_cast<int>(m_top.line));
    m_settingScrollBar = false;
}

void PageView::scrollContentsBy(int, int) {
    if (m_settingScrollBar) {
        return;
    }
    scrollBarMoved(verticalScrollBar()->value());
}

void PageView::scrollBarMoved(int value) {
    const auto line = static_cast<std::size_t>(value);
    scrollToRow(m_bottomKnown && line >= m_bottom.line ? m_bottom : Row{line, 0});
}

void PageView::scrollToOffset(std::size_t offset) {
    const Row caret = rowOfOffset(snapped(offset));
    if (caret.line < m_top.line || (caret.line == m_top.line && caret.row < m_top.row)) {
        scrollToRow(caret);
        return;
    }
    // Walk down from the top row to the caret's, as far as the view reaches.
    const qreal height = viewport()->height();
    qreal y = topMargin();
    Row r = m_top;
    bool reached = false;
    while (y < height) {
        if (r.line == caret.line && r.row == caret.row) {
            reached = y + rowHeight(r.line, r.row) < height;
            break;
        }
        y += rowHeight(r.line, r.row);
        if (!nextRow(r)) {
            break;
        }
    }
    if (reached) {
        return;
    }
    // Below the view: the caret's row becomes the last one that shows whole, measured as the
    // lowest scroll position is.
    Row top = caret;
    qreal filled = rowHeight(caret.line, caret.row);
    for (Row above = caret; previousRow(above);) {
        filled += rowHeight(above.line, above.row);
        if (filled > height - kMargin - 1) {
            break;
        }
        top = above;
    }
    scrollToRow(top);
}

void PageView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        // A read-only text box zooms its text with Ctrl and the wheel.
        QFont f = font();
        const qreal size = f.pointSizeF() + delta / 120.0;
        if (size > 0) {
            f.setPointSizeF(size);
            setFont(f);
        }
        event->accept();
        return;
    }
    m_wheelRows -= delta / 120.0 * QApplication::wheelScrollLines();
    const int rows = static_cast<int>(m_wheelRows);
    m_wheelRows -= rows;
    scrollByRows(rows);
    event->accept();
}

// ---- The caret and the selection

void PageView::moveCaret(std::size_t anchor, std::size_t caret) {
    const bool changed = anchor != m_anchor || caret != m_caret;
    m_anchor = anchor;
    m_caret = caret;
    if (!changed) {
        return;
    }
    restartBlink();
    viewport()->update();
    notifySelection();
    emit selectionChanged();
}

void PageView::setCaret(std::size_t offset, bool extend) {
    moveCaret(extend ? m_anchor : offset, offset);
}

void PageView::notifySelection() {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessibleTextSelectionEvent selection(this, static_cast<int>(selStart()),
                                            static_cast<int>(selStart() + selLength()));
    selection.setCursorPosition(static_cast<int>(m_caret));
    QAccessible::updateAccessibility(&selection);
}

void PageView::restartBlink() {
    m_caretShown = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash >= 2) {
        m_blink.start(flash / 2, this);
    } else {
        m_blink.stop();
    }
}

std::size_t PageView::moved(std::size_t offset, int key, bool word) {
    const std::size_t line = lineOfOffset(offset);
    const int pos = static_cast<int>(offset - lineOffset(line));
    const int length = static_cast<int>(lineLength(line));
    const QTextLayout& layout = layoutOf(line);
    const auto mode = word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    if (key == Qt::Key_Right) {
        if (pos < length) {
            return lineOffset(line) + layout.nextCursorPosition(pos, mode);
        }
        return line + 1 < lineCount() ? lineOffset(line + 1) : offset;
    }
    if (pos > 0) {
        return lineOffset(line) + layout.previousCursorPosition(pos, mode);
    }
    return line > 0 ? lineOffset(line - 1) + lineLength(line - 1) : offset;
}

std::size_t PageView::verticallyMoved(std::size_t offset, int rows) {
    Row r = rowOfOffset(offset);
    if (m_caretX < 0) {
        const std::size_t line = lineOfOffset(offset);
        m_caretX = layoutOf(line).lineAt(r.row).cursorToX(static_cast<int>(offset - lineOffset(line)));
    }
    for (; rows > 0 && nextRow(r); --rows) {
    }
    for (; rows < 0 && previousRow(r); ++rows) {
    }
    return lineOffset(r.line) + layoutOf(r.line).lineAt(r.row).xToCursor(m_caretX);
}

std::size_t PageView::rowEdge(std::size_t offset, bool end) {
    const std::size_t line = lineOfOffset(offset);
    const QTextLayout& layout = layoutOf(line);
    const QTextLine row = layout.lineForTextPosition(static_cast<int>(offset - lineOffset(line)));
    if (!row.isValid()) {
        return offset;
    }
    if (!end) {
        return lineOffset(line) + row.textStart();
    }
    int pos = row.textStart() + row.textLength();
    // A row that wrapped at a blank ends before it.
    if (row.lineNumber() + 1 < layout.lineCount() && row.textLength() > 0 && layout.text().at(pos - 1).isSpace()) {
        --pos;
    }
    return lineOffset(line) + std::min(pos, static_cast<int>(lineLength(line)));
}

std::pair<std::size_t, std::size_t> PageView::unitAt(std::size_t offset, Unit unit) {
    const std::size_t line = lineOfOffset(offset);
    const std::size_t start = lineOffset(line);
    if (unit == Unit::Line) {
        return {start, line + 1 < lineCount() ? lineOffset(line + 1) : m_length};
    }
    if (unit == Unit::Character) {
        return {offset, offset};
    }
    // The word under the pointer: back to the start of the word, then on over its letters.
    const QTextLayout& layout = layoutOf(line);
    const QString& text = layout.text();
    const int length = static_cast<int>(text.size());
    int pos = static_cast<int>(offset - start);
    int first = pos;
    if (pos > 0) {
        if (pos == length && (text.at(pos - 1).isSpace() || isWordSeparator(text.at(pos - 1)))) {
            return {offset, offset};
        }
        first = layout.previousCursorPosition(pos < length ? pos + 1 : pos, QTextLayout::SkipWords);
    }
    int last = first;
    if (last < length) {
        if (isWordSeparator(text.at(last))) {
            ++last;
            while (last < length && isWordSeparator(text.at(last))) {
                ++last;
            }
        } else {
            while (last < length && !text.at(last).isSpace() && !isWordSeparator(text.at(last))) {
                ++last;
            }
        }
    }
    return {start + first, start + last};
}

void PageView::extendByUnit(std::size_t offset) {
    const auto [first, last] = m_dragOrigin;
    if (m_dragUnit == Unit::Character) {
        setCaret(offset, true);
    } else if (offset < first) {
        moveCaret(last, unitAt(offset, m_dragUnit).first);
    } else if (offset > last) {
        moveCaret(first, unitAt(offset, m_dragUnit).second);
    } else {
        moveCaret(first, last);
    }
}

void PageView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (enter) {
        // Enter belongs to the window's default button; Ctrl+Enter, a new line elsewhere, is
        // nothing here.
        event->setAccepted(event->modifiers() & Qt::ControlModifier);
        return;
    }
    if (event == QKeySequence::SelectAll) {
        moveCaret(0, m_length);
        return;
    }
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (key == Qt::Key_Space && !(event->modifiers() & ~Qt::ShiftModifier)) {
        scrollByRows(event->modifiers() & Qt::ShiftModifier ? -visibleRows() : visibleRows());
        return;
    }
    struct Move {
        QKeySequence::StandardKey plain;
        QKeySequence::StandardKey extending;
    };
    enum Kind { Left, Right, WordLeft, WordRight, Up, Down, RowStart, RowEnd, TextStart, TextEnd, PageUp, PageDown };
    static const Move moves[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage},
    };
    int kind = -1;
    bool extend = false;
    for (int k = 0; k < static_cast<int>(std::size(moves)); ++k) {
        if (event == moves[k].plain || event == moves[k].extending) {
            kind = k;
            extend = event == moves[k].extending;
            break;
        }
    }
    if (kind < 0) {
        event->ignore();
        return;
    }
    const bool vertical = kind == Up || kind == Down || kind == PageUp || kind == PageDown;
    if (!vertical) {
        m_caretX = -1;
    }
    std::size_t to = m_caret;
    switch (kind) {
    case Left:
    case Right:
    case WordLeft:
    case WordRight:
        to = moved(m_caret, kind == Left || kind == WordLeft ? Qt::Key_Left : Qt::Key_Right,
                   kind == WordLeft || kind == WordRight);
        break;
    case Up:
    case Down:
        to = verticallyMoved(m_caret, kind == Up ? -1 : 1);
        if (to == m_caret && event->modifiers() == Qt::NoModifier) {
            scrollByRows(kind == Up ? -1 : 1); // at the first or last row the view still scrolls
            return;
        }
        break;
    case RowStart:
    case RowEnd:
        to = rowEdge(m_caret, kind == RowEnd);
        break;
    case TextStart:
        to = 0;
        break;
    case TextEnd:
        to = m_length;
        break;
    case PageUp:
    case PageDown: {
        // The caret keeps its place on screen while the text moves by a page under it.
        const int rows = std::max(1, visibleRows() - 1);
        to = verticallyMoved(m_caret, kind == PageUp ? -rows : rows);
        scrollByRows(kind == PageUp ? -rows : rows);
        break;
    }
    }
    setCaret(to, extend);
    ensureCaretVisible();
}

// ---- The mouse

std::size_t PageView::offsetAt(QPoint point) {
    qreal y = topMargin();
    const qreal limit = viewport()->height() + 1000.0;
    Row r = m_top;
    for (;;) {
        const qreal height = rowHeight(r.line, r.row);
        Row next = r;
        if (point.y() < y + height || y > limit || !nextRow(next)) {
            break;
        }
        y += height;
        r = next;
    }
    return lineOffset(r.line) + layoutOf(r.line).lineAt(r.row).xToCursor(point.x());
}

QRect PageView::offsetRect(std::size_t offset) {
    offset = snapped(offset);
    const Row target = rowOfOffset(offset);
    const qreal height = viewport()->height();
    qreal y = topMargin();
    for (Row r = m_top; y < height;) {
        const qreal rowHigh = rowHeight(r.line, r.row);
        if (r.line == target.line && r.row == target.row) {
            const std::size_t line = target.line;
            const QTextLayout& layout = layoutOf(line);
            const int pos = static_cast<int>(offset - lineOffset(line));
            const QTextLine row = layout.lineAt(r.row);
            const qreal x = row.cursorToX(pos);
            const int next = layout.nextCursorPosition(pos);
            const qreal width = next > pos ? row.cursorToX(next) - x : QFontMetricsF(font()).averageCharWidth();
            return QRectF(x, y, std::max<qreal>(width, 1), rowHigh).toAlignedRect();
        }
        y += rowHigh;
        if (!nextRow(r)) {
            break;
        }
    }
    return {};
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    const std::size_t offset = offsetAt(point);
    m_caretX = -1;
    m_lastMouse = point;
    m_pressPoint = point;
    // A press on the selection may begin dragging it out of the view; a click there without a
    // drag puts the caret where it was.
    m_mightDragOut = !(event->modifiers() & Qt::ShiftModifier) && !m_tripleClick.isActive() && selLength() > 0 &&
                     offset >= selStart() && offset < selStart() + selLength();
    if (m_mightDragOut) {
        return;
    }
    m_dragging = true;
    if (m_tripleClick.isActive() &&
        (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance()) {
        // A third click selects the whole line, its line end with it.
        m_tripleClick.stop();
        m_dragUnit = Unit::Line;
        m_dragOrigin = unitAt(offset, Unit::Line);
        moveCaret(m_dragOrigin.first, m_dragOrigin.second);
    } else if (event->modifiers() & Qt::ShiftModifier) {
        m_dragUnit = Unit::Character;
        setCaret(offset, true);
    } else {
        m_dragUnit = Unit::Character;
        setCaret(offset, false);
    }
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    if (m_mightDragOut && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            m_mightDragOut = false;
            auto* drag = new QDrag(this);
            auto* data = new QMimeData;
            data->setText(selectionAsShown());
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction);
        }
        return;
    }
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    m_lastMouse = event->position().toPoint();
    // Dragging past the top or the bottom scrolls the text under the pointer.
    if (m_lastMouse.y() < 0 || m_lastMouse.y() > viewport()->height()) {
        if (!m_autoScroll.isActive()) {
            m_autoScroll.start(50, this);
        }
    } else {
        m_autoScroll.stop();
    }
    const QPoint inside(m_lastMouse.x(), std::clamp(m_lastMouse.y(), 0, std::max(0, viewport()->height() - 1)));
    extendByUnit(offsetAt(inside));
    ensureCaretVisible();
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_autoScroll.stop();
    if (m_mightDragOut) {
        m_mightDragOut = false;
        setCaret(offsetAt(m_pressPoint), false);
    }
    if (m_dragging && selLength() > 0 && QGuiApplication::clipboard()->supportsSelection()) {
        QGuiApplication::clipboard()->setText(toQString(selText()), QClipboard::Selection);
    }
    m_dragging = false;
}

void PageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    m_dragUnit = Unit::Word;
    m_dragOrigin = unitAt(offsetAt(point), Unit::Word);
    moveCaret(m_dragOrigin.first, m_dragOrigin.second);
    m_dragging = true;
    m_doubleClickPoint = point;
    m_tripleClick.start(QApplication::doubleClickInterval(), this);
}

void PageView::contextMenuEvent(QContextMenuEvent* event) {
    // What the desktop's read-only text boxes offer, in the words Qt gives them.
    QMenu menu(this);
    QAction* copyAction =
        menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy") + QLatin1Char('\t') +
                       QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    copyAction->setObjectName(QStringLiteral("edit-copy"));
    copyAction->setEnabled(selLength() > 0);
    connect(copyAction, &QAction::triggered, this, &PageView::copy);
    menu.addSeparator();
    QAction* selectAllAction =
        menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All") + QLatin1Char('\t') +
                       QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText));
    selectAllAction->setObjectName(QStringLiteral("select-all"));
    selectAllAction->setEnabled(m_length > 0);
    connect(selectAllAction, &QAction::triggered, this, [this] { moveCaret(0, m_length); });
    menu.exec(event->globalPos());
}

// ---- Focus, font, timers

void PageView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void PageView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    m_caretShown = false;
    viewport()->update();
}

void PageView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateTabStops();
        forgetLayouts();
        m_bottomKnown = false;
        m_top.row = 0;
        updateScrollBar();
        viewport()->update();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ActivationChange) {
        viewport()->update();
    }
}

void PageView::updateTabStops() {
    // A tab stop every eight characters, as the desktop's text boxes place them: the entries of
    // the page view line up after their numbers.
    m_tabStop = 8 * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' '));
}

void PageView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update();
    } else if (event->timerId() == m_autoScroll.timerId()) {
        scrollByRows(m_lastMouse.y() < 0 ? -1 : 1);
        const QPoint inside(m_lastMouse.x(), std::clamp(m_lastMouse.y(), 0, std::max(0, viewport()->height() - 1)));
        extendByUnit(offsetAt(inside));
    } else if (event->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

} // namespace platform
