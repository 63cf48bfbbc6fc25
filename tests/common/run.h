// Runs a program the way a user would and collects what it printed.
#pragma once

#include <string>
#include <vector>

struct RunResult {
    int status;       // exit status, or 128 + signal
    std::string out;  // standard output
    std::string err;  // standard error
};

RunResult runProgram(const std::vector<std::string>& argv, const std::string& input = "");

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);
// A fresh empty directory under /tmp, removed with everything in it at exit.
std::string scratchDirectory();
