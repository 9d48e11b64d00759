#pragma once

#include <string>
#include <vector>

class MemberSession;

// Masking an entry of a page: the page file's lines are read and deciphered, the line of the
// entry is made unreadable, and the lines are enciphered again to replace the file whole.

// The lines of the page file at path, deciphered under key. The table takes as
// many lines as the page has, so any entry of any page can be masked and the page is never
// written back shortened. Throws platform::FileError, also for a line that cannot be
// deciphered.
std::vector<std::string> readDecipheredLines(int key, const std::string& path);

// The same for page 1 to 15 of the member logged in, in whichever form the diary is; a record
// that does not open is refused as a line that cannot be deciphered is.
std::vector<std::string> readPageLines(const MemberSession& session, int page);
// The content that replaces page 1 to 15 of the member logged in with lines, in the diary's form.
std::string pageContent(const MemberSession& session, int page, const std::vector<std::string>& lines);

// Masks line number target (counting from 1) when there is one: its spaces stay, so the shape
// of the words can still be seen; everything else, the old stamp included, becomes "X"; stamp
// follows. A target that addresses no line changes nothing. True when a line was masked.
bool maskLine(std::vector<std::string>& lines, double target, const std::string& stamp);

// The lines enciphered under key, each followed by CR LF; an empty line stays empty.
std::string encipheredLines(int key, const std::vector<std::string>& lines);
