// Four-part version numbers: the parts of each half, and the text form.

#include "versinfo/versionnumberinformation.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionNumberInformationTest, CreatedNotValidAndEmpty)
{
    const TVersionNumberInformation number(0x00010002, 0x00030004);
    EXPECT_FALSE(number.Valid());
    EXPECT_EQ(number.MS(), 0x00010002u);
    EXPECT_EQ(number.LS(), 0x00030004u);
    EXPECT_EQ(number.Text(), "");
    EXPECT_EQ(number.AsString(), "");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(number.GetPart(i), 0) << i;
}

TEST(VersionNumberInformationTest, PartsComeFromTheHalvesHighFirst)
{
    TVersionNumberInformation number(0xFFFE0102, 0x7FFF8000);
    number.SetValid(true);
    EXPECT_EQ(number.GetPart(0), 0xFFFE);
    EXPECT_EQ(number.GetPart(1), 0x0102);
    EXPECT_EQ(number.GetPart(2), 0x7FFF);
    EXPECT_EQ(number.GetPart(3), 0x8000);
    EXPECT_EQ(number.GetPart(-1), 0);
    EXPECT_EQ(number.GetPart(4), 0);
}

struct TAsStringCase {
    uint32_t MS;
    uint32_t LS;
    const char* Text;
    const char* Expected;
};

const TAsStringCase AsStringCases[] = {
    {0x00010001, 0x00000002, "", "1.1.0.2"},
    {0, 0, "", "0.0.0.0"},
    {0xFFFFFFFF, 0xFFFFFFFF, "", "65535.65535.65535.65535"},
    {0x000A0014, 0x001E0028, "", "10.20.30.40"},
    {0x00010001, 0x00000002, "9.9 beta", "9.9 beta"}, // the string table's text wins
};

TEST(VersionNumberInformationTest, AsStringIsTextOrTheDottedParts)
{
    for (const TAsStringCase& c : AsStringCases) {
        TVersionNumberInformation number(c.MS, c.LS);
        number.SetValid(true);
        number.SetText(c.Text);
        EXPECT_EQ(number.AsString(), c.Expected) << std::hex << c.MS << " " << c.LS;
    }
}

TEST(VersionNumberInformationTest, NotValidHidesTextToo)
{
    TVersionNumberInformation number(1, 2);
    number.SetText("1.0");
    EXPECT_EQ(number.AsString(), "");
    number.SetValid(true);
    EXPECT_EQ(number.AsString(), "1.0");
}

} // namespace
