#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace platform {

// A multi-line text box whose text of record is the program's text (UTF-8) with CR LF line
// ends, as the program stores and compares it. Qt keeps a line end as one paragraph break, so
// the box keeps the text of record itself and maps selection offsets onto the widget's
// positions. Offsets count the text of record in UTF-16 units, as the desktop's text boxes
// count: a CR LF is two, a character outside the basic plane two, any other character one.
//
// Enter is left to the window (it presses the default button); Ctrl+Enter starts a new line.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    const std::string& text() const { return m_text; }
    void setText(std::string text);
    // Empties the box when its text is a member's who is gone: the text it kept is overwritten,
    // no selection is left, and nothing can be undone back into it.
    void wipe();
    // The length of the text of record in offsets.
    std::size_t length() const;

    // Locked: the user can select and scroll but not edit.
    void setLocked(bool locked);
    bool locked() const { return isReadOnly(); }

    // Selection in offsets of the text of record.
    std::size_t selStart() const;
    std::size_t selLength() const;
    void select(std::size_t start, std::size_t count);
    void selectAll() { select(0, length()); }
    std::string selText() const;

    // Offsets between the text of record and the widget.
    static int widgetPosition(const std::string& text, std::size_t offset);
    static std::size_t recordOffset(const std::string& text, int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A paste takes plain text only, and nothing when the clipboard holds none (an empty X
    // clipboard hands over data Qt's own paste cannot read).
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void changeEvent(QEvent* event) override;

private:
    // How a line of the text of record ends: the widget shows each as one break.
    enum class Break { CrLf, Cr, Lf };

    void widgetEdited();
    void updateTabStops();

    std::string m_text;
    QString m_shown;             // the widget's text, each break a "\n"
    std::vector<Break> m_breaks; // the line end of the text of record behind each break shown
    bool m_settingText = false;
};

} // namespace platform
