#pragma once
// The program's command-line arguments as UTF-8, after the program's name.
// On Windows they are the system's UTF-16 command line, so that a name outside
// the ANSI code page arrives whole; elsewhere they are main's argv as given.
// posix/programarguments.cpp and win32/programarguments.cpp implement it.

#include <string>
#include <vector>

std::vector<std::string> ProgramArguments(int ArgumentCount, char** Arguments);
