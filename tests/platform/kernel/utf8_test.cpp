// One code point to UTF-8, at the edges of each sequence length.

#include "platform/kernel/utf8.h"

#include <gtest/gtest.h>

namespace {

struct TUtf8Case {
    char32_t Code;
    const char* Bytes;
};

const TUtf8Case Cases[] = {
    {0x41, "A"},
    {0x7F, "\x7F"},
    {0x80, "\xC2\x80"},
    {0x7FF, "\xDF\xBF"},
    {0x800, "\xE0\xA0\x80"},
    {0xFFFF, "\xEF\xBF\xBF"},
    {0x10000, "\xF0\x90\x80\x80"},
    {0x10FFFF, "\xF4\x8F\xBF\xBF"},
};

TEST(Utf8Test, EachLengthAtItsEdges)
{
    for (const TUtf8Case& c : Cases) {
        std::string out = "x"; // appended to, not replaced
        AppendUtf8(out, c.Code);
        EXPECT_EQ(out, std::string("x") + c.Bytes) << std::hex << static_cast<uint32_t>(c.Code);
    }
}

} // namespace
