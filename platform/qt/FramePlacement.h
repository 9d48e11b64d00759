#pragma once

#include <QMargins>
#include <QObject>
#include <functional>

class QWidget;

namespace platform {

// Places a top-level window by its outer size (see WindowFrame.h). The window system adds the
// frame after the window is shown, so a window placed before that is placed again as soon as its
// own frame turns out other than the one it was placed for. After that the window stays where
// the member puts it.
class FramePlacement : public QObject {
    Q_OBJECT
public:
    // place moves (and may size) the window from its outer size; it runs now and then whenever
    // the frame is found to differ.
    FramePlacement(QWidget& window, std::function<void()> place);

    // Places the window now, and again once shown if its frame turns out otherwise.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    std::function<void()> m_place;
    QMargins m_placedFor;
    bool m_pending = false;
    bool m_placing = false;
};

} // namespace platform
