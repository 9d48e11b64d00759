#pragma once

#include <QLabel>

namespace platform {

// A label that reports a click, as the desktop runtime's labels do.
class Label : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace platform
