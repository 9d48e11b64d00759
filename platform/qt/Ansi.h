#pragma once

#include <QString>
#include <string>
#include <string_view>

// Conversions between the program's Windows-1252 text and the widgets' QString, used only at
// widget and dialog boundaries.
namespace platform {

QString ToQString(std::string_view ansi);

// A character Windows-1252 cannot hold becomes "?".
std::string FromQString(const QString& text);

} // namespace platform
