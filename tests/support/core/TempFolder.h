#pragma once

#include <string>

#include "platform/core/Paths.h"

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away. Tests use one as their application folder.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return platform::joinPath(m_path, name); }

private:
    std::string m_path;
};
