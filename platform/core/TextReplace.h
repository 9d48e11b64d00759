#pragma once

#include <string>
#include <string_view>

namespace platform {

// text with every occurrence of find replaced by replacement; an empty find changes nothing.
std::string replaceText(std::string_view text, std::string_view find, std::string_view replacement);

} // namespace platform
