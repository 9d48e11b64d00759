#pragma once

#include <QObject>
#include <QSize>
#include <functional>

class QWidget;

namespace platform {

// Lays a window's controls out again whenever its outer size may have changed: when the window
// is shown, when it is resized, and when it moves because the window system has added its frame
// (which changes the outer size without resizing the window).
class LayoutWatcher : public QObject {
    Q_OBJECT
public:
    // layOut places the controls for the window's present outer size (see WindowFrame.h).
    LayoutWatcher(QWidget& window, std::function<void()> layOut);

    // Lays the controls out now.
    void layOut();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    std::function<void()> m_layOut;
    QSize m_laidOutFor; // the outer size, in pixels, the controls were last laid out for
};

} // namespace platform
