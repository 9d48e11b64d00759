#pragma once

#include <string>
#include <string_view>

// The key and the initial password of a new member.

// The first four characters of the name, or the whole name when it is shorter, letter case as
// typed.
std::string InitialPassword(std::string_view name);

// The member key for a draw r, uniform in [0, 1). The key is drawn uniformly among the keys
// 100 to 130 under which password can be stored unchanged, so the member can log in with the
// password they are told. When no key can store it (a character such as an accented letter
// lies above 155), the draw is among all 31 keys; the password then stored is the one given by
// PasswordAsStored, with "?" for each character that cannot be stored.
int ChooseMemberKey(std::string_view password, double r);

// The password as it reads back after being stored under key: each character the key cannot
// store becomes "?". This is the password a new member is told and logs in with.
std::string PasswordAsStored(std::string_view password, int key);
