#pragma once
// The files of resources/ (forms, bitmaps, icons), compiled into the program
// by embedfiles.cmake, in the order of their names.

#include <cstddef>

struct TEmbeddedFile {
    const char* Name;           // path below resources/, "forms/Form1.qfm"
    const unsigned char* Bytes; // the file's contents
    size_t Size;                // bytes
};

extern const TEmbeddedFile kEmbeddedFiles[];
extern const int kEmbeddedFileCount;
