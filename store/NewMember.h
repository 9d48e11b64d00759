#pragma once

#include <string>
#include <string_view>

// The key and the initial password of a new member.

// The first four characters of the name, or the whole name when it is shorter, letter case as
// typed. A character is what the member sees as one: an accented letter, a Cyrillic or Chinese
// one, a character outside the basic plane.
std::string initialPassword(std::string_view name);

// A new member's key, drawn from the system's random source, each of 100 to 130 as likely as
// the others. Every key stores every password (a character it cannot shift is stored as a
// reference), so the member always logs in with the password told.
int chooseMemberKey();
