#include "cppemitter.h"

#include <cstdio>

namespace {

constexpr size_t BytesPerLine = 12;

std::string Hex(uint8_t Byte)
{
    char text[sizeof "0x00"];
    std::snprintf(text, sizeof text, "0x%02x", Byte);
    return text;
}

std::string Octal(unsigned char Byte)
{
    char text[sizeof "\\000"];
    std::snprintf(text, sizeof text, "\\%03o", Byte);
    return text;
}

} // namespace

std::string TCppEmitter::Literal(const std::string& Text)
{
    std::string out = "\"";
    for (char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = byte >= ' ' && byte < 0x7F && c != '"' && c != '\\';
        out += plain ? std::string(1, c) : Octal(byte);
    }
    return out + "\"";
}

std::string TCppEmitter::VersionSource(const std::vector<uint8_t>& Block, const std::string& SectionName,
                                       const std::string& DescriptionName)
{
    std::string out = "// Generated from " + DescriptionName + " by quimbrel_rcgen; edit the description instead.\n"
                      "#include <cstdint>\n\nnamespace {\n\n"
                      "// The program's version block, found by readers through its ELF section.\n"
                      "alignas(4) __attribute__((section(" + Literal(SectionName) + "), used))\n"
                      "const uint8_t VersionBlock[] = {";
    for (size_t i = 0; i < Block.size(); ++i) {
        out += i % BytesPerLine == 0 ? "\n    " : " ";
        out += Hex(Block[i]) + ",";
    }
    return out + "\n};\n\n} // namespace\n";
}

std::string TCppEmitter::StringTableSource(const std::vector<std::pair<int, std::string>>& Strings,
                                           const std::string& DescriptionName)
{
    std::string out = "// Generated from " + DescriptionName + " by quimbrel_rcgen; edit the description instead.\n"
                      "#include \"platform/verres/resstringtable.h\"\n\n"
                      "const TResStringEntry ResStringTable[] = {\n";
    for (const auto& [id, text] : Strings)
        out += "    {" + std::to_string(id) + ", " + Literal(text) + "},\n";
    if (Strings.empty())
        out += "    {-1, \"\"},\n";  // an array may not be empty; no caller asks for -1
    return out + "};\n\nconst size_t ResStringTableCount = " + std::to_string(Strings.size()) + ";\n";
}
