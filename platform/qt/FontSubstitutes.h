#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The windows name the faces they were designed with (Courier New, Comic Sans MS, ...). Where a
// face is not installed, Qt takes the first installed family of the same kind from its list of
// substitutes, at the same size: a monospaced face for the page view, a casual one for the
// caption, and so on. Call once at start-up, after the application object exists.
void installFontSubstitutes();

// The families tried, in order, for a face the windows name; empty for any other face.
QStringList fontSubstitutes(const QString& family);

} // namespace platform
