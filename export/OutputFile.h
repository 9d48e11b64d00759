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

// "Printed on " with the date and time of t, the second line of every export.
std::string printedOnLine(const platform::LocalTime& t);
