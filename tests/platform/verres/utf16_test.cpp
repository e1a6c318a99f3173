// UTF-16 little-endian text to and from UTF-8, as version blocks store it.

#include "platform/verres/utf16.h"

#include <gtest/gtest.h>

namespace {

struct TUtf16Case {
    const char* Name;
    std::vector<uint8_t> Utf16;
    std::string Utf8;
};

const TUtf16Case RoundTrips[] = {
    {"empty", {}, ""},
    {"ASCII", {'Q', 0, 'u', 0, 'i', 0}, "Qui"},
    {"two-byte", {0xA9, 0x00}, "\u00A9"},
    {"three-byte", {0xAC, 0x20}, "\u20AC"},
    {"surrogate pair", {0x3D, 0xD8, 0x00, 0xDE}, "\U0001F600"},
};

TEST(Utf16Test, RoundTripsBothWays)
{
    for (const TUtf16Case& c : RoundTrips) {
        EXPECT_EQ(Utf16LeToUtf8(c.Utf16.data(), c.Utf16.size() / 2), c.Utf8) << c.Name;
        EXPECT_EQ(Utf8ToUtf16Le(c.Utf8), c.Utf16) << c.Name;
    }
}

const TUtf16Case LoneSurrogates[] = {
    {"high at the end", {'a', 0, 0x3D, 0xD8}, "a\uFFFD"},
    {"low alone", {0x00, 0xDE, 'b', 0}, "\uFFFDb"},
    {"high then ASCII", {0x3D, 0xD8, 'c', 0}, "\uFFFDc"},
};

TEST(Utf16Test, LoneSurrogatesBecomeReplacementCharacters)
{
    for (const TUtf16Case& c : LoneSurrogates)
        EXPECT_EQ(Utf16LeToUtf8(c.Utf16.data(), c.Utf16.size() / 2), c.Utf8) << c.Name;
}

TEST(Utf16Test, MalformedUtf8BecomesReplacementCharacters)
{
    const std::vector<uint8_t> replacement = {0xFD, 0xFF};
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80"}) {
        const std::vector<uint8_t> units = Utf8ToUtf16Le(bad);
        ASSERT_GE(units.size(), 2u);
        EXPECT_EQ(std::vector<uint8_t>(units.begin(), units.begin() + 2), replacement)
            << static_cast<int>(static_cast<unsigned char>(bad[0]));
    }
    EXPECT_EQ(Utf8ToUtf16Le("\xC0\xAF").size(), 2u);  // an overlong form is one character
}

} // namespace
