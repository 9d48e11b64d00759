#pragma once

#include <string>

// Why name cannot be the name of an export file in folder, in words for the member; empty when
// it can. A name must stay inside the member folder, be a valid file name here and on Windows
// (member folders are shared between both), and must not be a folder, a link, anything but an
// ordinary file or a hidden file, least of all one of the member's own files, which an export
// never replaces.
std::string unusableOutputName(const std::string& folder, const std::string& name);
