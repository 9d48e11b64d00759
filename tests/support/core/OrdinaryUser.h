#pragma once

#include <functional>
#include <string>
#include <vector>

// Permissions mean nothing to the superuser, which the test machines run as. A test that needs
// them to count runs its part as an ordinary user: the account "nobody" in a child process.
namespace fixture {

// The user and group the body runs as when the tests run as the superuser.
inline constexpr unsigned kOrdinaryUser = 65534;

// Runs body as an ordinary user and returns true when it ran and recorded no test failure. Run
// by the superuser, body runs in a child process as kOrdinaryUser; each of handOver (and
// everything in it) is given to that user first. Run by anybody else, body runs here as it is.
// When no child can become that user, the reason is put into whyNot and false returned; the
// caller skips with it rather than pass without having tested.
bool runAsOrdinaryUser(const std::function<void()>& body, const std::vector<std::string>& handOver,
                       std::string& whyNot);

} // namespace fixture
