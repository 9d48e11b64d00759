#pragma once

#include <QString>
#include <string>
#include <string_view>

// Conversions between the program's text (Unicode as UTF-8) and the widgets' QString, used only
// at widget and dialog boundaries.
namespace platform {

QString toQString(std::string_view text);

std::string fromQString(const QString& text);

} // namespace platform
