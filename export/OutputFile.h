#pragma once

#include <optional>
#include <string>

#include "platform/core/Clock.h"

class MemberSession;

// What both export commands share: choosing the file in the member folder that an export
// writes, and the line that dates it.

// Asks whether to export at all (question), then for a name, offering defaultName each time,
// until the member gives a usable name or gives up. A name that cannot be used is explained and
// asked for again; an ordinary file of that name is replaced only after the member agrees.
// Returns the full path of the file to write, or nothing when the member ended the command.
std::optional<std::string> chooseOutputFile(const MemberSession& module, const std::string& question,
                                            const std::string& defaultName);

// Why name cannot be the name of an export file in folder, in words for the member; empty when
// it can. A name must stay inside the member folder, be a valid file name here and on Windows
// (member folders are shared between both), and must not be a folder, a link, a special file
// or a hidden file, least of all one of the member's own files, which an export never replaces.
std::string unusableOutputName(const std::string& folder, const std::string& name);

// "Printed on " with the date and time of t, the second line of every export.
std::string printedOnLine(const platform::LocalTime& t);
