#pragma once

#include <QPlainTextEdit>
#include <string>

namespace platform {

// A multi-line text box whose text of record is Windows-1252 with CR LF line ends, as the
// program stores and compares it. Qt keeps a line end as one paragraph break, so the box
// keeps the text of record itself and maps selection offsets (which count CR LF as two
// characters) onto the widget's positions.
//
// Enter is left to the window (it presses the default button); Ctrl+Enter starts a new line.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    const std::string& Text() const { return m_text; }
    void SetText(std::string text);

    // Locked: the user can select and scroll but not edit.
    void SetLocked(bool locked);
    bool Locked() const { return isReadOnly(); }

    // Selection in offsets of the text of record.
    std::size_t SelStart() const;
    std::size_t SelLength() const;
    void Select(std::size_t start, std::size_t length);
    std::string SelText() const;

    // Offsets between the text of record and the widget.
    static int WidgetPosition(const std::string& text, std::size_t offset);
    static std::size_t RecordOffset(const std::string& text, int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void widgetEdited();
    void updateTabStops();

    std::string m_text;
    bool m_settingText = false;
};

} // namespace platform
