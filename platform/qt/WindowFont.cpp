#include "platform/qt/WindowFont.h"

#include <QApplication>
#include <QLabel>

namespace platform {

QFont DefaultWindowFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    return font;
}

void SizeToText(QLabel* label) {
    label->resize(label->sizeHint());
}

} // namespace platform
