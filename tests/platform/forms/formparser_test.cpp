#include "platform/forms/formparser.h"

#include <gtest/gtest.h>

namespace {

TFormValue ValueOf(const std::string& Written)
{
    const TFormObject root = ParseFormDescription("test", "object A: TA\n  P = " + Written + "\nend\n");
    EXPECT_EQ(root.Properties.size(), 1u);
    return root.Properties.at(0).Value;
}

struct TValueCase {
    const char* Written;
    TValueKind Kind;
    int64_t Integer;
    double Float;
    const char* Text;
};

class FormValueTest : public ::testing::TestWithParam<TValueCase> {};

TEST_P(FormValueTest, ReadsEachKindOfValue)
{
    const TValueCase& c = GetParam();
    const TFormValue v = ValueOf(c.Written);
    EXPECT_EQ(v.Kind, c.Kind) << c.Written;
    EXPECT_EQ(v.Integer, c.Integer) << c.Written;
    EXPECT_DOUBLE_EQ(v.Float, c.Float) << c.Written;
    EXPECT_EQ(v.Text, c.Text) << c.Written;
    EXPECT_EQ(v.Line, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormValueTest,
    ::testing::Values(TValueCase{"265", TValueKind::vaInteger, 265, 0, ""},
                      TValueCase{"-11", TValueKind::vaInteger, -11, 0, ""},
                      TValueCase{"+7", TValueKind::vaInteger, 7, 0, ""},
                      TValueCase{"$FF00", TValueKind::vaInteger, 0xFF00, 0, ""},
                      TValueCase{"-50.0", TValueKind::vaFloat, 0, -50.0, ""},
                      TValueCase{"1.5e3", TValueKind::vaFloat, 0, 1500.0, ""},
                      TValueCase{"'Quimbrel - Tamsvik'", TValueKind::vaString, 0, 0, "Quimbrel - Tamsvik"},
                      TValueCase{"'Tamsvik''s'", TValueKind::vaString, 0, 0, "Tamsvik's"},
                      TValueCase{"''", TValueKind::vaString, 0, 0, ""},
                      TValueCase{"'a'#13#10'b'", TValueKind::vaString, 0, 0, "a\r\nb"},
                      TValueCase{"'caf'#233", TValueKind::vaString, 0, 0, "caf\xC3\xA9"},
                      TValueCase{"'one ' +\n 'two'", TValueKind::vaString, 0, 0, "one two"},
                      TValueCase{"'http://x' // a comment", TValueKind::vaString, 0, 0, "http://x"},
                      TValueCase{"bsSingle", TValueKind::vaIdent, 0, 0, "bsSingle"},
                      TValueCase{"FormCreate", TValueKind::vaIdent, 0, 0, "FormCreate"}));

TEST(FormParserTest, SetsAndBooleans)
{
    const TFormValue set = ValueOf("[biSystemMenu, biMinimize]");
    EXPECT_EQ(set.Kind, TValueKind::vaSet);
    EXPECT_EQ(set.Elements, (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
    EXPECT_TRUE(ValueOf("[]").Elements.empty());
    EXPECT_EQ(ValueOf("[]").Kind, TValueKind::vaSet);
    EXPECT_TRUE(ValueOf("True").Boolean);
    EXPECT_EQ(ValueOf("false").Kind, TValueKind::vaBoolean);
    EXPECT_FALSE(ValueOf("False").Boolean);
}

TEST(FormParserTest, NestingInheritanceAndDottedNames)
{
    const TFormObject root = ParseFormDescription("test", R"(inherited Box: TBox
  Font.Height = -11
  object Panel1: TPanel
    object Label1: TLabel
    end
  end
  inherited OKButton: TButton
    Cancel = True
  end
END
)");
    EXPECT_TRUE(root.Inherited);
    EXPECT_EQ(root.Name, "Box");
    EXPECT_EQ(root.ClassName, "TBox");
    EXPECT_EQ(root.Properties.at(0).Name, "Font.Height");
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_FALSE(root.Children[0].Inherited);
    EXPECT_EQ(root.Children[0].Line, 3);
    EXPECT_EQ(root.Children[0].Children.at(0).Name, "Label1");
    EXPECT_TRUE(root.Children[1].Inherited);
    EXPECT_EQ(root.Children[1].Properties.at(0).Line, 8);
}

struct TErrorCase {
    const char* Text;
    int Line;
    const char* Word;
};

class FormParserErrorTest : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(FormParserErrorTest, NamesTheDescriptionLineAndWord)
{
    const TErrorCase& c = GetParam();
    try {
        ParseFormDescription("forms/Bad.qfm", c.Text);
        FAIL() << "no error for: " << c.Text;
    } catch (const EFormDescriptionError& e) {
        EXPECT_EQ(e.Description(), "forms/Bad.qfm");
        EXPECT_EQ(e.Line(), c.Line) << e.what();
        EXPECT_EQ(e.Word(), c.Word) << e.what();
        EXPECT_NE(std::string(e.what()).find("forms/Bad.qfm, line"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FormParserErrorTest,
    ::testing::Values(TErrorCase{"object A: TA\n  Left = 1\n", 3, ""},              // no end
                      TErrorCase{"thing A: TA\nend\n", 1, "thing"},                // not an object
                      TErrorCase{"object A TA\nend\n", 1, "TA"},                   // no colon
                      TErrorCase{"object A: TA\n  Left 5\nend\n", 2, "5"},         // no '='
                      TErrorCase{"object A: TA\n  Caption = 'open\nend\n", 2, "'open"}, // string not closed
                      TErrorCase{"object A: TA\n  Left = 12ab\nend\n", 2, "12ab"}, // bad number
                      TErrorCase{"object A: TA\n  S = [a b]\nend\n", 2, "b"},       // no comma
                      TErrorCase{"object A: TA\n  S = = \nend\n", 2, "="},          // no value
                      TErrorCase{"object A: TA\nend\nend\n", 3, "end"},             // text after the end
                      TErrorCase{"object A: TA\n  X = 1 ?\nend\n", 2, "?"},         // stray character
                      TErrorCase{"object A: TA\n  C = 'a' + 5\nend\n", 2, "5"}));   // + without a string

} // namespace
