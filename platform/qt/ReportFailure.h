#pragma once

#include <exception>
#include <string>

namespace platform {

// Tells the member what failed, in a message box titled "Jotterel": what, then the file and the
// reason when the error is a file error, or the error's own text.
void reportFailure(const std::string& what, const std::exception& error);

} // namespace platform
