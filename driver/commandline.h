// The command line: picks a mode by its first argument and runs it.
#pragma once

// Returns the process's exit status: 0 on success, 1 on any failure.
int runCommandLine(int argc, char** argv);
