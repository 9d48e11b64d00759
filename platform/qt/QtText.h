#pragma once

#include <QString>
#include <string>
#include <string_view>

// Conversions between the program's text (Unicode as UTF-8) and the widgets' QString, used only
// at widget and dialog boundaries.
namespace platform {

QString toQString(std::string_view text);

std::string fromQString(const QString& text);

// Overwrites the characters a QString holds, where it holds them alone, then empties it: a
// member's text does not stay in memory that was only freed. A text shared with another QString
// is that one's to wipe.
void wipe(QString& secret);

} // namespace platform
