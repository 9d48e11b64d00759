#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The windows name the faces they were designed with (Courier New, Comic Sans MS, ...). Where a
// face is not installed, the first installed family of the same kind from its list of
// substitutes stands in, at the same size: a monospaced face for the page view, a casual one for
// the caption, and so on.

// The families tried, in order, for a face the windows name; empty for any other face.
QStringList fontSubstitutes(const QString& family);

// The face that draws family: family itself where it is installed, else the first installed of
// its substitutes, else family (and Qt finds what it can). Call it once the application object
// exists.
QString installedFace(const QString& family);

} // namespace platform
