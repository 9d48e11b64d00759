#include "platform/core/TextReplace.h"

namespace platform {

std::string replaceText(std::string_view text, std::string_view find, std::string_view replacement) {
    if (find.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
    }
}

} // namespace platform
