#pragma once
// A file opened by its name for reading, as a C stream. Names are UTF-8 inside
// the program; Windows gets them as UTF-16, so that any name opens there, not
// only those in the system's code page. posix/fileopen.cpp and
// win32/fileopen.cpp implement it.

#include <cstdio>
#include <string>

// The stream in binary mode, or nullptr (errno says why) as fopen gives it.
std::FILE* OpenFileForReading(const std::string& FileName);
