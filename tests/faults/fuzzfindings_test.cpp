// What the fuzz programs found, kept as tests of the normal suite.

#include "platform/forms/formerror.h"
#include "platform/forms/formparser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int FarTooDeep = 100000; // levels that exhausted the stack before there was a limit

// A description of Depth objects, each inside the one before.
std::string NestedObjects(int Depth)
{
    std::string text;
    for (int level = 0; level < Depth; ++level)
        text += "object P" + std::to_string(level) + ": TPanel\n";
    for (int level = 0; level < Depth; ++level)
        text += "end\n";
    return text;
}

int DepthOf(const TFormObject& Object)
{
    return Object.Children.empty() ? 1 : 1 + DepthOf(Object.Children.front());
}

} // namespace

// Objects nested some ten thousand deep exhausted the stack in the parser.
TEST(FuzzFindings, ObjectsNestedTooDeeplyAreRefusedWithTheirLine)
{
    try {
        ParseFormDescription("forms/Deep.qfm", NestedObjects(FarTooDeep));
        FAIL() << "no exception";
    } catch (const EFormDescriptionError& e) {
        EXPECT_EQ(e.Line(), MaxObjectDepth + 1);
        EXPECT_EQ(e.Word(), "object");
        EXPECT_EQ(e.Problem(), "objects nested more than 64 deep at");
    }
}

TEST(FuzzFindings, ObjectsNestedToTheLimitAreRead)
{
    EXPECT_EQ(DepthOf(ParseFormDescription("forms/Deep.qfm", NestedObjects(MaxObjectDepth))), MaxObjectDepth);
    EXPECT_THROW(ParseFormDescription("forms/Deep.qfm", NestedObjects(MaxObjectDepth + 1)), EFormDescriptionError);
}

// An unclosed nest fails the same way, before the missing ends are noticed.
TEST(FuzzFindings, UnclosedDeepNestingIsRefused)
{
    std::string text;
    for (int level = 0; level < FarTooDeep; ++level)
        text += "object L: TLabel\n";
    EXPECT_THROW(ParseFormDescription("forms/Deep.qfm", text), EFormDescriptionError);
}
