#include "platform/qt/WindowFont.h"

#include <QApplication>
#include <QLabel>

#include "platform/qt/FontSubstitutes.h"

namespace platform {

QFont defaultWindowFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    return font;
}

QFont namedFont(const char* family, double points, bool bold, bool italic, bool underline) {
    // The installed face itself, not the missing one: asked for a face it does not have, Qt
    // searches every installed font for a stand-in the first time each is drawn, a few
    // milliseconds apiece while the login window is being made.
    QFont f(installedFace(QString::fromLatin1(family)));
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
