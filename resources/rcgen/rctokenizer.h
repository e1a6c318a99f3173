#pragma once
// Splits a resource description into words and quoted strings. A '#' outside a
// string starts a comment that runs to the end of the line; inside a string,
// \" stands for a quote and \\ for a backslash.

#include <stdexcept>
#include <string>

struct TRcToken {
    enum TKind { tkWord, tkString, tkEnd };
    TKind Kind = tkEnd;
    std::string Text;  // the word, or the string without its quotes
    int Line = 0;      // 1-based line where the token starts
};

// A description that cannot be read; the message names the line.
class ERcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRcTokenizer {
public:
    TRcTokenizer(std::string Source, std::string SourceName);

    // The next token; tkEnd at the end of the text and ever after.
    TRcToken Next();
    // The next token, which must be a word or (for ExpectString) a string.
    std::string ExpectWord();
    std::string ExpectString();

    // An error at Line, as "name:line: message".
    ERcError Error(int Line, const std::string& Message) const;

private:
    void SkipBlanksAndComments();
    TRcToken ReadString();

    std::string FSource;      // the whole description
    std::string FSourceName;  // its file name, for messages
    size_t FPos = 0;          // next character to read
    int FLine = 1;            // line of FPos
};
