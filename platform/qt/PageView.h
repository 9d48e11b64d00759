#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QMenu;
class QTextLayout;

namespace platform {

// A read-only view of a page's text of record (UTF-8, CR LF line ends) that the member can
// select, copy and scroll through. It holds the text once, with an index of where each line
// starts, and lays out and paints only the lines on screen, so that a page of a million entries
// shows as fast as a page of ten. Each CR LF, lone CR or lone LF ends a line; long lines wrap at
// word boundaries, or anywhere in a word wider than the view.
//
// Offsets count the text of record in UTF-16 units, as the desktop's text boxes count: a CR LF
// is two, a character outside the basic plane two, any other character one. The selection never
// starts or ends inside a CR LF or inside a character.
//
// The vertical scroll bar counts lines of the text, not rows on screen: a wrapped line is laid
// out only when it comes into view, so the rows of the lines off screen are never known. The
// arrows, the wheel and the keyboard still scroll row by row.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;

    const std::string& text() const { return m_text; }
    // Shows text from its start with nothing selected.
    void setText(std::string text);
    // The length of the text of record in offsets.
    std::size_t length() const { return m_length; }

    // Selection in offsets of the text of record; the caret is at its end.
    std::size_t selStart() const { return std::min(m_anchor, m_caret); }
    std::size_t selLength() const { return std::max(m_anchor, m_caret) - selStart(); }
    // Selects count offsets from start (clipped to the text) and scrolls the caret into view.
    void select(std::size_t start, std::size_t count);
    void selectAll() { select(0, length()); }
    std::string selText() const { return textBetween(selStart(), selStart() + selLength()); }
    // The text of record from one offset to another.
    std::string textBetween(std::size_t from, std::size_t to) const;
    void copy() const;

    // Lines of the text as shown: one more than its line ends.
    std::size_t lineCount() const { return m_lineStarts.size(); }
    // The text as shown, each line end a "\n".
    QString toPlainText() const;
    qreal tabStopDistance() const { return m_tabStop; }
    // How many times a line has been laid out since the view was made: what showing a page costs.
    std::size_t linesLaidOut() const { return m_linesLaidOut; }

    // Offsets of the text as it is shown: the line and the position in the line's own text.
    std::size_t lineOfOffset(std::size_t offset) const;
    std::size_t lineOffset(std::size_t line) const {
        return m_lineUnits.empty() ? m_lineStarts[line] : m_lineUnits[line];
    }
    // UTF-16 units of the line without its line end.
    std::size_t lineLength(std::size_t line) const;
    QString lineText(std::size_t line) const;
    std::size_t caretOffset() const { return m_caret; }
    // The word at offset, as a double-click selects it, and the whole line with its line end.
    std::pair<std::size_t, std::size_t> wordAt(std::size_t offset) { return unitAt(snapped(offset), Unit::Word); }
    std::pair<std::size_t, std::size_t> lineAt(std::size_t offset) { return unitAt(snapped(offset), Unit::Line); }
    // The offset one character on; a CR LF and a character outside the basic plane are one.
    std::size_t nextOffset(std::size_t offset) { return moved(snapped(offset), Qt::Key_Right, false); }
    // Scrolls as little as brings the character at offset into view.
    void scrollToOffset(std::size_t offset);
    // Where on the viewport the character at offset is drawn, or an empty rectangle when off it.
    QRect offsetRect(std::size_t offset);
    // The offset of the caret position nearest to the point on the viewport.
    std::size_t offsetAt(QPoint point);

signals:
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // A place on screen: a line of the text and a row of its layout.
    struct Row {
        std::size_t line = 0;
        int row = 0;
    };
    enum class Unit { Character, Word, Line };

    void indexLines();
    QTextLayout& layoutOf(std::size_t line);
    void forgetLayouts();
    qreal layoutWidth() const;
    int rowCount(std::size_t line) { return rowsOf(layoutOf(line)); }
    static int rowsOf(const QTextLayout& layout);
    qreal rowHeight(std::size_t line, int row);
    Row rowOfOffset(std::size_t offset);
    bool nextRow(Row& r);
    bool previousRow(Row& r);
    qreal topMargin() const;

    void setCaret(std::size_t offset, bool extend);
    void moveCaret(std::size_t anchor, std::size_t caret);
    std::size_t snapped(std::size_t offset) const;
    std::size_t byteOfOffset(std::size_t offset) const;
    std::size_t moved(std::size_t offset, int key, bool word);
    std::size_t verticallyMoved(std::size_t offset, int rows);
    std::size_t rowEdge(std::size_t offset, bool end);
    std::pair<std::size_t, std::size_t> unitAt(std::size_t offset, Unit unit);
    void extendByUnit(std::size_t offset);

    void scrollToRow(Row top);
    void scrollByRows(int rows);
    void ensureCaretVisible() { scrollToOffset(m_caret); }
    void updateScrollBar();
    void scrollBarActed(int action);
    void scrollBarMoved(int value);
    int visibleRows();
    void updateTabStops();
    void restartBlink();
    void notifySelection();
    QString selectionAsShown() const;

    std::string m_text;
    std::size_t m_length = 0;
    // For each line: where it starts in bytes and in offsets (the offsets only for a text beyond
    // ASCII; otherwise they are the bytes). 32 bits hold any page the store shows; a longer text
    // is shown up to the limit.
    std::vector<std::uint32_t> m_lineStarts;
    std::vector<std::uint32_t> m_lineUnits;

    std::unordered_map<std::size_t, std::unique_ptr<QTextLayout>> m_layouts;
    qreal m_laidOutWidth = -1;
    std::size_t m_linesLaidOut = 0;
    qreal m_tabStop = 0;

    Row m_top;    // the row at the top of the viewport
    Row m_bottom; // the lowest row that can be at the top: the last row then ends the viewport
    bool m_bottomKnown = false;
    bool m_settingScrollBar = false;
    double m_wheelRows = 0;

    std::size_t m_anchor = 0;
    std::size_t m_caret = 0;
    qreal m_caretX = -1; // where Up and Down keep the caret, while they move it
    bool m_caretShown = false;
    QBasicTimer m_blink;

    Unit m_dragUnit = Unit::Character;
    std::pair<std::size_t, std::size_t> m_dragOrigin; // the word or line a drag began on
    bool m_dragging = false;
    bool m_mightDragOut = false;
    QPoint m_pressPoint;
    QBasicTimer m_autoScroll;
    QPoint m_lastMouse;
    QBasicTimer m_tripleClick;
    QPoint m_doubleClickPoint;
};

} // namespace platform
