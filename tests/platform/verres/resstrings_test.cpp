// The caption strings compiled in from the string table description.

#include "platform/verres/resstrings.h"

#include <gtest/gtest.h>

namespace {

struct TCaption {
    int Id;
    const char* Text;
};

const TCaption Captions[] = {
    {65504, "Product Version"}, {65505, "Comments"},          {65506, "Build Flags"},
    {65520, "Debug"},           {65521, "Info Inferred"},     {65522, "Patched"},
    {65523, "Pre-Release"},     {65524, "Private"},           {65525, "Special"},
    {65526, "Resource"},        {65527, "Value"},             {65528, "Company Name"},
    {65529, "File Description"}, {65530, "File Version"},     {65531, "Internal Name"},
    {65532, "Legal Copyright"}, {65533, "Legal Trademarks"},  {65534, "Original Filename"},
    {65535, "Product Name"},
};

TEST(LoadResStringTest, EveryCaptionHasItsText)
{
    for (const TCaption& c : Captions)
        EXPECT_EQ(LoadResString(c.Id), c.Text) << c.Id;
}

TEST(LoadResStringTest, UnknownIdGivesEmptyString)
{
    for (int id : {0, -1, 65503, 65507, 65519, 65536, 1})
        EXPECT_EQ(LoadResString(id), "") << id;
}

} // namespace
