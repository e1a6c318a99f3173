#include "rcdescription.h"

#include <cctype>
#include <cstdlib>
#include <limits>
#include <set>
#include <tuple>

namespace {

constexpr uint32_t MaxPart = 0xFFFF;      // a version part or a 16-bit field
constexpr uint32_t MaxLong = std::numeric_limits<uint32_t>::max();
constexpr size_t VersionParts = 4;
constexpr unsigned PartBits = 16;
constexpr size_t TableNameDigits = 8;

bool IsTableName(const std::string& Name)
{
    if (Name.size() != TableNameDigits)
        return false;
    for (char c : Name) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

bool IsEnd(const TRcToken& Token)
{
    return Token.Kind == TRcToken::tkWord && Token.Text == "END";
}

} // namespace

uint32_t TRcDescription::Number(TRcTokenizer& Tokens, int Line, const std::string& Text, uint32_t Max)
{
    char* end = nullptr;
    const unsigned long long value = std::strtoull(Text.c_str(), &end, 0);
    if (Text.empty() || !std::isdigit(static_cast<unsigned char>(Text[0])) || *end != '\0' || value > Max)
        throw Tokens.Error(Line, "'" + Text + "' is not a number from 0 to " + std::to_string(Max));
    return static_cast<uint32_t>(value);
}

std::pair<uint32_t, uint32_t> TRcDescription::Version(TRcTokenizer& Tokens, int Line, const std::string& Text)
{
    uint32_t parts[VersionParts] = {};
    size_t count = 0;
    size_t start = 0;
    while (start <= Text.size()) {
        size_t dot = Text.find('.', start);
        if (dot == std::string::npos)
            dot = Text.size();
        if (count == VersionParts)
            throw Tokens.Error(Line, "a version has at most four parts: " + Text);
        parts[count++] = Number(Tokens, Line, Text.substr(start, dot - start), MaxPart);
        start = dot + 1;
    }
    return {(parts[0] << PartBits) | parts[1], (parts[2] << PartBits) | parts[3]};
}

TVersionStringTable TRcDescription::Table(TRcTokenizer& Tokens, int Line)
{
    TVersionStringTable table;
    table.Name = Tokens.ExpectString();
    if (!IsTableName(table.Name))
        throw Tokens.Error(Line, "a string table is named by eight hex digits: " + table.Name);
    std::set<std::string> keys;
    for (TRcToken token = Tokens.Next(); !IsEnd(token); token = Tokens.Next()) {
        if (token.Kind != TRcToken::tkWord || token.Text != "VALUE")
            throw Tokens.Error(token.Line, "expected VALUE or END");
        std::string key = Tokens.ExpectString();
        if (!keys.insert(key).second)
            throw Tokens.Error(token.Line, "key given twice: " + key);
        table.Values.emplace_back(std::move(key), Tokens.ExpectString());
    }
    return table;
}

void TRcDescription::Statement(TRcTokenizer& Tokens, const TRcToken& Keyword, TVersionResource& Resource)
{
    VS_FIXEDFILEINFO& fixed = *Resource.Fixed;
    const std::string& word = Keyword.Text;
    const int line = Keyword.Line;
    if (word == "FILEVERSION") {
        std::tie(fixed.dwFileVersionMS, fixed.dwFileVersionLS) = Version(Tokens, line, Tokens.ExpectWord());
    } else if (word == "PRODUCTVERSION") {
        std::tie(fixed.dwProductVersionMS, fixed.dwProductVersionLS) = Version(Tokens, line, Tokens.ExpectWord());
    } else if (word == "FILEFLAGSMASK") {
        fixed.dwFileFlagsMask = Number(Tokens, line, Tokens.ExpectWord(), MaxLong);
    } else if (word == "FILEFLAGS") {
        fixed.dwFileFlags = Number(Tokens, line, Tokens.ExpectWord(), MaxLong);
    } else if (word == "FILEOS") {
        fixed.dwFileOS = Number(Tokens, line, Tokens.ExpectWord(), MaxLong);
    } else if (word == "FILETYPE") {
        fixed.dwFileType = Number(Tokens, line, Tokens.ExpectWord(), MaxLong);
    } else if (word == "FILESUBTYPE") {
        fixed.dwFileSubtype = Number(Tokens, line, Tokens.ExpectWord(), MaxLong);
    } else if (word == "BLOCK") {
        Resource.Tables.push_back(Table(Tokens, line));
    } else if (word == "TRANSLATION") {
        const uint32_t language = Number(Tokens, line, Tokens.ExpectWord(), MaxPart);
        const uint32_t codePage = Number(Tokens, line, Tokens.ExpectWord(), MaxPart);
        Resource.Translations->emplace_back(language, codePage);
    } else {
        throw Tokens.Error(line, "unknown statement: " + word);
    }
}

TVersionResource TRcDescription::ParseVersion(TRcTokenizer& Tokens)
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0, 0, 0, 0);
    resource.Translations.emplace();
    for (TRcToken token = Tokens.Next(); token.Kind != TRcToken::tkEnd; token = Tokens.Next()) {
        if (token.Kind != TRcToken::tkWord)
            throw Tokens.Error(token.Line, "expected a statement, not a string");
        Statement(Tokens, token, resource);
    }
    if (resource.Translations->empty())
        throw Tokens.Error(0, "no TRANSLATION given");
    return resource;
}

std::vector<std::pair<int, std::string>> TRcDescription::ParseStrings(TRcTokenizer& Tokens)
{
    std::vector<std::pair<int, std::string>> strings;
    std::set<int> ids;
    for (TRcToken token = Tokens.Next(); token.Kind != TRcToken::tkEnd; token = Tokens.Next()) {
        if (token.Kind != TRcToken::tkWord)
            throw Tokens.Error(token.Line, "expected a string id");
        const int id = static_cast<int>(Number(Tokens, token.Line, token.Text, MaxPart));
        if (!ids.insert(id).second)
            throw Tokens.Error(token.Line, "id given twice: " + token.Text);
        strings.emplace_back(id, Tokens.ExpectString());
    }
    return strings;
}
