// Programs run as a user runs them, timed from start to exit.
#pragma once

#include <string>
#include <vector>

struct ProcessRun {
    double seconds;     // wall clock, start to exit
    double cpuSeconds;  // user and system time, all threads
    double peakMiB;     // largest resident set
    bool succeeded;     // exited with status 0
};

// Runs `argv` with standard output sent to `output` (created anew, or
// "/dev/null") and standard error to /dev/null; with `oneCore`, on one of
// the cores this process may use.
ProcessRun runTimed(const std::vector<std::string>& argv, const std::string& output,
                    bool oneCore = false);

double median(std::vector<double> values);
bool sameContents(const std::string& first, const std::string& second);
long long fileSize(const std::string& path);
// Writes `text` as the whole of `path`; false if it cannot.
bool writeText(const std::string& path, const std::string& text);
