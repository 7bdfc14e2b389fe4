// The program's spine: run settings, the log, and the dispatch to one of the three modes.
#pragma once

#include <string>

// Runs the whole program with the argument text (the command line after the program's own name)
// and gives the exit code: 3 configuration file missing, 0 success, 1 the default mode's
// answer-file write failed.
int RunProgram(const std::wstring& arguments);
