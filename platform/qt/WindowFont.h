#pragma once

#include <QFont>

class QLabel;

namespace platform {

// The default font of the program's windows: the desktop's own face at 8.25 points, the size
// the windows were laid out for (11 pixels high at 96 dots per inch). A control given no font
// of its own uses it.
QFont defaultWindowFont();

// A face the windows name, at its design size; where the face is missing, the installed one of
// the same kind that stands in for it (installedFace).
QFont namedFont(const char* family, double points, bool bold = false, bool italic = false, bool underline = false);

// Makes a label exactly as large as its text, keeping its left and top edges, as a label
// "sized to its text" is. Call it once the label has its font and text.
void sizeToText(QLabel* label);

} // namespace platform
