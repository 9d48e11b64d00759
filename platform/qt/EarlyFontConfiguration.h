#pragma once

#include <thread>

namespace platform {

// The system's font configuration, read on a thread of its own while the program connects to the
// window system. Reading it (dozens of configuration files) is most of what the first text of the
// login window would wait for otherwise. Where the font configuration library is not part of the
// build, this does nothing and the text waits as before.
class EarlyFontConfiguration {
public:
    // Starts reading; made before the application object, so that the two overlap.
    EarlyFontConfiguration();
    ~EarlyFontConfiguration();
    EarlyFontConfiguration(const EarlyFontConfiguration&) = delete;
    EarlyFontConfiguration& operator=(const EarlyFontConfiguration&) = delete;

    // Waits until it is read: before the first window is built, which would otherwise read it a
    // second time, alongside.
    void wait();

private:
    std::thread m_reader;
};

} // namespace platform
