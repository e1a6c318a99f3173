#include "platform/forms/formparser.h"

#include "platform/kernel/utf8.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

enum class TTokenKind { tkEnd, tkIdent, tkInteger, tkFloat, tkString, tkSymbol };

struct TToken {
    TTokenKind Kind = TTokenKind::tkEnd;
    std::string Text;  // as written
    std::string Value; // a string's characters
    int Line = 1;
};

// Largest character code that #n may give (the Unicode range).
constexpr long kMaxCharCode = 0x10FFFF;

bool IsIdentStart(char C)
{
    return std::isalpha(static_cast<unsigned char>(C)) || C == '_';
}

bool IsIdentChar(char C)
{
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || C == '.';
}

bool IsDigit(char C)
{
    return std::isdigit(static_cast<unsigned char>(C)) != 0;
}

// "-11", "+3", "$FF", "-$10": decimal, or hexadecimal after '$'.
bool ReadInteger(const std::string& Text, TFormValue& Value)
{
    const bool negative = Text[0] == '-';
    const size_t signLength = (Text[0] == '-' || Text[0] == '+') ? 1 : 0;
    const bool hex = Text.size() > signLength && Text[signLength] == '$';
    const std::string digits = Text.substr(signLength + (hex ? 1 : 0));
    if (digits.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long magnitude = std::strtoll(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || errno == ERANGE)
        return false;
    Value.Kind = TValueKind::vaInteger;
    Value.Integer = negative ? -magnitude : magnitude;
    return true;
}

bool ReadFloat(const std::string& Text, TFormValue& Value)
{
    char* end = nullptr;
    errno = 0;
    Value.Float = std::strtod(Text.c_str(), &end);
    Value.Kind = TValueKind::vaFloat;
    return *end == '\0' && errno != ERANGE;
}

class TLexer {
public:
    TLexer(const std::string& Description, const std::string& Text) : FDescription(Description), FText(Text) {}

    TToken Next();
    [[noreturn]] void Fail(int Line, const std::string& Word, const std::string& Problem) const
    {
        throw EFormDescriptionError(FDescription, Line, Word, Problem);
    }

private:
    void SkipBlanksAndComments();
    TToken ReadIdent();
    TToken ReadNumber();
    TToken ReadString();
    void ReadQuoted(TToken& Token);
    void ReadCharCode(TToken& Token);
    char Peek(size_t Ahead = 0) const { return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0'; }

    const std::string& FDescription;
    const std::string& FText;
    size_t FPos = 0;
    int FLine = 1;
};

void TLexer::SkipBlanksAndComments()
{
    while (FPos < FText.size()) {
        const char c = FText[FPos];
        if (c == '\n') {
            ++FLine;
            ++FPos;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++FPos;
        } else if (c == '/' && Peek(1) == '/') {
            while (FPos < FText.size() && FText[FPos] != '\n')
                ++FPos;
        } else {
            return;
        }
    }
}

TToken TLexer::Next()
{
    SkipBlanksAndComments();
    const char c = Peek();
    if (c == '\0')
        return TToken{TTokenKind::tkEnd, "", "", FLine};
    if (IsIdentStart(c))
        return ReadIdent();
    if (IsDigit(c) || c == '$' || ((c == '-' || c == '+') && (IsDigit(Peek(1)) || Peek(1) == '$')))
        return ReadNumber();
    if (c == '\'' || c == '#')
        return ReadString();
    if (c == ':' || c == '=' || c == '[' || c == ']' || c == ',' || c == '+') {
        ++FPos;
        return TToken{TTokenKind::tkSymbol, std::string(1, c), "", FLine};
    }
    Fail(FLine, std::string(1, c), "unexpected character");
}

TToken TLexer::ReadIdent()
{
    const size_t start = FPos;
    while (IsIdentChar(Peek()))
        ++FPos;
    return TToken{TTokenKind::tkIdent, FText.substr(start, FPos - start), "", FLine};
}

TToken TLexer::ReadNumber()
{
    const size_t start = FPos;
    if (Peek() == '-' || Peek() == '+')
        ++FPos;
    bool isFloat = false;
    if (Peek() == '$') {
        ++FPos;
        while (std::isxdigit(static_cast<unsigned char>(Peek())))
            ++FPos;
    } else {
        while (IsDigit(Peek()) || Peek() == '.' || Peek() == 'e' || Peek() == 'E'
               || ((Peek() == '-' || Peek() == '+') && (FText[FPos - 1] == 'e' || FText[FPos - 1] == 'E'))) {
            isFloat = isFloat || !IsDigit(Peek());
            ++FPos;
        }
    }
    while (IsIdentChar(Peek()))
        ++FPos; // swallowed so that "12ab" is reported whole
    return TToken{isFloat ? TTokenKind::tkFloat : TTokenKind::tkInteger, FText.substr(start, FPos - start), "", FLine};
}

TToken TLexer::ReadString()
{
    TToken token{TTokenKind::tkString, "", "", FLine};
    const size_t start = FPos;
    while (Peek() == '\'' || Peek() == '#') {
        if (Peek() == '\'')
            ReadQuoted(token);
        else
            ReadCharCode(token);
    }
    token.Text = FText.substr(start, FPos - start);
    return token;
}

void TLexer::ReadQuoted(TToken& Token)
{
    const size_t start = FPos++; // at the opening quote
    for (;;) {
        const char c = Peek();
        if (c == '\0' || c == '\n')
            Fail(Token.Line, FText.substr(start, FPos - start), "string not closed on its line");
        ++FPos;
        if (c != '\'') {
            Token.Value += c;
        } else if (Peek() == '\'') {
            Token.Value += '\'';
            ++FPos;
        } else {
            return;
        }
    }
}

void TLexer::ReadCharCode(TToken& Token)
{
    const size_t start = FPos++;
    while (IsDigit(Peek()))
        ++FPos;
    const std::string digits = FText.substr(start + 1, FPos - start - 1);
    const long code = digits.empty() ? -1 : std::strtol(digits.c_str(), nullptr, 10);
    if (code < 0 || code > kMaxCharCode || digits.size() > 7)
        Fail(Token.Line, FText.substr(start, FPos - start), "bad character code");
    AppendUtf8(Token.Value, static_cast<char32_t>(code));
}

class TParser {
public:
    TParser(const std::string& Description, const std::string& Text) : FLexer(Description, Text) { Advance(); }

    TFormObject ParseDescription()
    {
        TFormObject root = ParseObject();
        if (FToken.Kind != TTokenKind::tkEnd)
            Fail("text after the last end");
        return root;
    }

private:
    void Advance() { FToken = FLexer.Next(); }
    [[noreturn]] void Fail(const std::string& Problem) const
    {
        FLexer.Fail(FToken.Line, FToken.Text, Problem);
    }
    bool AtKeyword(const char* Keyword) const
    {
        return FToken.Kind == TTokenKind::tkIdent && SameIdent(FToken.Text, Keyword);
    }
    bool AtSymbol(char Symbol) const
    {
        return FToken.Kind == TTokenKind::tkSymbol && FToken.Text[0] == Symbol;
    }
    void ExpectSymbol(char Symbol)
    {
        if (!AtSymbol(Symbol))
            Fail(std::string("expected '") + Symbol + "' but found");
        Advance();
    }
    std::string ExpectName(const char* What)
    {
        if (FToken.Kind != TTokenKind::tkIdent || FToken.Text.find('.') != std::string::npos)
            Fail(std::string("expected ") + What + " but found");
        std::string name = FToken.Text;
        Advance();
        return name;
    }

    TFormObject ParseObject();
    TFormProperty ParseProperty();
    TFormValue ParseValue();
    void ParseNumber(TFormValue& Value);
    void ParseStrings(TFormValue& Value);
    void ParseSet(TFormValue& Value);

    TLexer FLexer;
    TToken FToken;
    int FDepth = 0; // objects open around the current token, 0 to MaxObjectDepth
};

TFormObject TParser::ParseObject()
{
    // Each level is a call here and in the loader: the depth is bounded so
    // that no description can exhaust the stack.
    if (FDepth == MaxObjectDepth)
        Fail("objects nested more than " + std::to_string(MaxObjectDepth) + " deep at");
    struct TLevel {
        int& Depth;
        ~TLevel() { --Depth; }
    } level{++FDepth};
    TFormObject object;
    object.Line = FToken.Line;
    if (AtKeyword("inherited"))
        object.Inherited = true;
    else if (!AtKeyword("object"))
        Fail("expected object or inherited but found");
    Advance();
    object.Name = ExpectName("a component name");
    ExpectSymbol(':');
    object.ClassName = ExpectName("a class name");
    while (!AtKeyword("end")) {
        if (FToken.Kind == TTokenKind::tkEnd)
            Fail("missing end of object " + object.Name + " at");
        if (AtKeyword("object") || AtKeyword("inherited"))
            object.Children.push_back(ParseObject());
        else
            object.Properties.push_back(ParseProperty());
    }
    Advance();
    return object;
}

TFormProperty TParser::ParseProperty()
{
    TFormProperty property;
    property.Line = FToken.Line;
    if (FToken.Kind != TTokenKind::tkIdent)
        Fail("expected a property name but found");
    property.Name = FToken.Text;
    Advance();
    ExpectSymbol('=');
    property.Value = ParseValue();
    return property;
}

TFormValue TParser::ParseValue()
{
    TFormValue value;
    value.Line = FToken.Line;
    value.Word = FToken.Text;
    switch (FToken.Kind) {
    case TTokenKind::tkInteger:
    case TTokenKind::tkFloat: ParseNumber(value); break;
    case TTokenKind::tkString: ParseStrings(value); break;
    case TTokenKind::tkIdent:
        if (AtKeyword("object") || AtKeyword("inherited") || AtKeyword("end"))
            Fail("expected a value but found");
        if (AtKeyword("True") || AtKeyword("False")) {
            value.Kind = TValueKind::vaBoolean;
            value.Boolean = AtKeyword("True");
        } else {
            value.Kind = TValueKind::vaIdent;
            value.Text = FToken.Text;
        }
        Advance();
        break;
    default:
        if (!AtSymbol('['))
            Fail("expected a value but found");
        ParseSet(value);
        break;
    }
    return value;
}

void TParser::ParseNumber(TFormValue& Value)
{
    const bool ok = FToken.Kind == TTokenKind::tkFloat ? ReadFloat(FToken.Text, Value) : ReadInteger(FToken.Text, Value);
    if (!ok)
        Fail("bad number");
    Advance();
}

void TParser::ParseStrings(TFormValue& Value)
{
    Value.Kind = TValueKind::vaString;
    Value.Text = FToken.Value;
    Advance();
    while (AtSymbol('+')) {
        Advance();
        if (FToken.Kind != TTokenKind::tkString)
            Fail("expected a string after + but found");
        Value.Text += FToken.Value;
        Advance();
    }
}

void TParser::ParseSet(TFormValue& Value)
{
    Value.Kind = TValueKind::vaSet;
    Advance(); // '['
    if (AtSymbol(']')) {
        Advance();
        return;
    }
    for (;;) {
        Value.Elements.push_back(ExpectName("a set element"));
        if (AtSymbol(']'))
            break;
        ExpectSymbol(',');
    }
    Advance();
    Value.Word = "[";
    for (size_t i = 0; i < Value.Elements.size(); ++i)
        Value.Word += (i ? ", " : "") + Value.Elements[i];
    Value.Word += "]";
}

} // namespace

TFormObject ParseFormDescription(const std::string& Description, const std::string& Text)
{
    return TParser(Description, Text).ParseDescription();
}
