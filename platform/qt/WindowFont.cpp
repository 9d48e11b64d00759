#include "platform/qt/WindowFont.h"

#include <QApplication>
#include <QLabel>

namespace platform {

QFont defaultWindowFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    return font;
}

QFont namedFont(const char* family, double points, bool bold, bool italic, bool underline) {
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    return f;
}

void sizeToText(QLabel* label) {
    label->resize(label->sizeHint());
}

} // namespace platform
