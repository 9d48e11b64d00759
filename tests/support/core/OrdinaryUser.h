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

// While it lives, the files of a folder can be read but not written: every file in it is
// made read-only, every folder in it (itself too) unwritable, and when the tests run as the
// superuser, this process acts on files as kOrdinaryUser, to whom the folder is handed over
// meanwhile. Put back as it was when it goes. whyNot says why it could not be made so.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    std::string whyNot;

private:
    std::string m_folder;
    bool m_switched = false;
};

} // namespace fixture
