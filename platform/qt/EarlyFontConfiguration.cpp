#include "platform/qt/EarlyFontConfiguration.h"

#ifdef JOTTEREL_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platform {

EarlyFontConfiguration::EarlyFontConfiguration() {
#ifdef JOTTEREL_FONTCONFIG
    // Qt's font database takes the library's current configuration, which this makes; the library
    // keeps one configuration however many threads ask for it first.
    m_reader = std::thread([] { FcInit(); });
#endif
}

EarlyFontConfiguration::~EarlyFontConfiguration() {
    wait();
}

void EarlyFontConfiguration::wait() {
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

} // namespace platform
