#pragma once

#include <string>
#include <vector>

// Masking an entry of a page: the page file's lines are read and deciphered, the line of the
// entry is made unreadable, and the lines are enciphered again to replace the file whole.

// The lines of the page file at path, deciphered under key. The table takes as
// many lines as the page has, so any entry of any page can be masked and the page is never
// written back shortened. Throws platform::FileError, also for a line that cannot be
// deciphered.
std::vector<std::string> readDecipheredLines(int key, const std::string& path);

// Masks line number target (counting from 1) when there is one: its spaces stay, so the shape
// of the words can still be seen; everything else, the old stamp included, becomes "X"; stamp
// follows. A target that addresses no line changes nothing. True when a line was masked.
bool maskLine(std::vector<std::string>& lines, double target, const std::string& stamp);

// The lines enciphered under key, each followed by CR LF; an empty line stays empty.
std::string encipheredLines(int key, const std::vector<std::string>& lines);
