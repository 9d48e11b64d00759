#pragma once

#include <string>
#include <string_view>

// Member folders and exports are meant to be copied to Windows as they are, so the names the
// program makes must be names Windows can hold too.
namespace platform {

// The characters of name that Windows refuses in a file or folder name (< > : " | ? *), each
// once, in the order they first occur; empty when there is none.
std::string charactersWindowsRefuses(std::string_view name);

// True for the names Windows keeps for devices (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9),
// letter case ignored, whatever extension follows: Windows opens the device, not a file.
bool isDeviceName(std::string_view name);

// "\"<\"", "\"<\" and \">\"", "\"<\", \">\" and \"|\"": characters named for a message.
std::string quotedCharacters(std::string_view characters);

} // namespace platform
