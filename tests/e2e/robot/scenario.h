// A robot scenario: one step a line, a verb and its arguments.
//
// Words are separated by blanks. A double-quoted argument may hold blanks
// and the escapes \n (line feed), \" and \\; any other backslash stands for
// itself, so "C:\e2e\dest" needs no doubling. A line that starts with
// '#' is a comment.
#pragma once

#include <string>
#include <vector>

struct Step {
    int line = 0;
    std::string verb;
    std::vector<std::string> args;
    std::string source;  // the line as written, for the log
};

// False, with `error` saying where, when a quoted argument is not closed.
bool parse_scenario(const std::string& text, std::vector<Step>* steps, std::string* error);
