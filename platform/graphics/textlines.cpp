#include "platform/graphics/textlines.h"

namespace {

// Cuts a paragraph into pieces that each start with the blanks before a word.
std::vector<std::string> Tokens(const std::string& Paragraph)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < Paragraph.size()) {
        const size_t wordStart = Paragraph.find_first_not_of(' ', i);
        const size_t wordEnd = wordStart == std::string::npos ? Paragraph.size() : Paragraph.find(' ', wordStart);
        const size_t end = wordEnd == std::string::npos ? Paragraph.size() : wordEnd;
        tokens.push_back(Paragraph.substr(i, end - i));
        i = end;
    }
    return tokens;
}

std::string WithoutLeadingBlanks(const std::string& Text)
{
    const size_t first = Text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : Text.substr(first);
}

void WrapParagraph(const std::string& Paragraph, int Width, const TTextMeasure& Measure,
                   std::vector<std::string>& Lines)
{
    const std::vector<std::string> tokens = Tokens(Paragraph);
    if (tokens.empty()) {
        Lines.emplace_back();
        return;
    }
    std::string line = tokens.front();
    for (size_t t = 1; t < tokens.size(); ++t) {
        const std::string candidate = line + tokens[t];
        if (Measure(candidate) <= Width) {
            line = candidate;
            continue;
        }
        Lines.push_back(line);
        line = WithoutLeadingBlanks(tokens[t]);
    }
    Lines.push_back(line);
}

} // namespace

std::string StripAccelChars(const std::string& Caption)
{
    std::string shown;
    shown.reserve(Caption.size());
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size())
            ++i; // the next character is shown ("&&" shows '&')
        else if (Caption[i] == '&')
            continue;
        shown += Caption[i];
    }
    return shown;
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> lines(1);
    for (char c : Text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

std::vector<std::string> WrapText(const std::string& Text, int Width, const TTextMeasure& Measure)
{
    std::vector<std::string> lines;
    for (const std::string& paragraph : SplitLines(Text))
        WrapParagraph(paragraph, Width, Measure, lines);
    return lines;
}
