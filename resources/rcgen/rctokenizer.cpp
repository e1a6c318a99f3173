#include "rctokenizer.h"

#include <cctype>

TRcTokenizer::TRcTokenizer(std::string Source, std::string SourceName)
    : FSource(std::move(Source)), FSourceName(std::move(SourceName))
{
}

ERcError TRcTokenizer::Error(int Line, const std::string& Message) const
{
    return ERcError(FSourceName + ":" + std::to_string(Line) + ": " + Message);
}

void TRcTokenizer::SkipBlanksAndComments()
{
    while (FPos < FSource.size()) {
        const char c = FSource[FPos];
        if (c == '#') {
            while (FPos < FSource.size() && FSource[FPos] != '\n')
                ++FPos;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            FLine += c == '\n' ? 1 : 0;
            ++FPos;
        } else {
            return;
        }
    }
}

TRcToken TRcTokenizer::ReadString()
{
    TRcToken token{TRcToken::tkString, "", FLine};
    ++FPos;  // the opening quote
    while (FPos < FSource.size() && FSource[FPos] != '"') {
        char c = FSource[FPos++];
        if (c == '\n')
            throw Error(token.Line, "string not closed on its line");
        if (c == '\\') {
            if (FPos >= FSource.size() || (FSource[FPos] != '"' && FSource[FPos] != '\\'))
                throw Error(FLine, "only \\\" and \\\\ may follow a backslash");
            c = FSource[FPos++];
        }
        token.Text += c;
    }
    if (FPos >= FSource.size())
        throw Error(token.Line, "string not closed");
    ++FPos;  // the closing quote
    return token;
}

TRcToken TRcTokenizer::Next()
{
    SkipBlanksAndComments();
    if (FPos >= FSource.size())
        return TRcToken{TRcToken::tkEnd, "", FLine};
    if (FSource[FPos] == '"')
        return ReadString();
    TRcToken token{TRcToken::tkWord, "", FLine};
    while (FPos < FSource.size() && !std::isspace(static_cast<unsigned char>(FSource[FPos])) &&
           FSource[FPos] != '"' && FSource[FPos] != '#')
        token.Text += FSource[FPos++];
    return token;
}

std::string TRcTokenizer::ExpectWord()
{
    const TRcToken token = Next();
    if (token.Kind != TRcToken::tkWord)
        throw Error(token.Line, "expected a word or number");
    return token.Text;
}

std::string TRcTokenizer::ExpectString()
{
    const TRcToken token = Next();
    if (token.Kind != TRcToken::tkString)
        throw Error(token.Line, "expected a quoted string");
    return token.Text;
}
