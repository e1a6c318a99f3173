#pragma once
// The compiled-in string table behind LoadResString; the build generates its
// definition from the string table description.

#include <cstddef>

struct TResStringEntry {
    int Id;            // the string's id
    const char* Text;  // NUL-terminated UTF-8
};

extern const TResStringEntry ResStringTable[];
extern const size_t ResStringTableCount;
