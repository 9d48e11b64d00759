#pragma once

#include <stdexcept>
#include <string>

// A member file that says it is in the protected form and cannot be taken as one: its header or
// its body is damaged, or it was written by a newer copy of the program. The file is refused
// whole and never written over.
class ProtectedFileError : public std::runtime_error {
public:
    enum class Problem { Damaged, NewerVersion };
    ProtectedFileError(Problem problem, const std::string& reason) : std::runtime_error(reason), m_problem(problem) {}
    Problem problem() const { return m_problem; }

private:
    Problem m_problem;
};
