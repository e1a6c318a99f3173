#include "platform/verres/versionblockwriter.h"

#include "platform/verres/utf16.h"

#include <stdexcept>

namespace {

constexpr size_t AlignmentBytes = 4;
constexpr size_t UnitBytes = 2;
constexpr size_t MaxNodeBytes = 0xFFFF;  // wLength is 16 bits
constexpr uint16_t TextType = 1;
constexpr uint16_t BinaryType = 0;
constexpr const char* RootKey = "VS_VERSION_INFO";
constexpr size_t FixedWords = sizeof(VS_FIXEDFILEINFO) / sizeof(uint32_t);

void PutLong(std::vector<uint8_t>& Out, uint32_t Value)
{
    for (size_t i = 0; i < sizeof Value; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

std::vector<uint8_t> TranslationBytes(const std::vector<std::pair<uint16_t, uint16_t>>& Pairs)
{
    std::vector<uint8_t> bytes;
    for (const auto& [language, codePage] : Pairs)
        PutLong(bytes, language | (static_cast<uint32_t>(codePage) << 16));
    return bytes;
}

} // namespace

void TVersionBlockWriter::PutWord(uint16_t Word)
{
    FBytes.push_back(static_cast<uint8_t>(Word & 0xFF));
    FBytes.push_back(static_cast<uint8_t>(Word >> 8));
}

void TVersionBlockWriter::Pad()
{
    while (FBytes.size() % AlignmentBytes != 0)
        FBytes.push_back(0);
}

void TVersionBlockWriter::Begin(const std::string& Key, uint16_t Type, const std::vector<uint8_t>& Value, uint16_t ValueLength)
{
    Pad();
    FOpenNodes.push_back(FBytes.size());
    PutWord(0);  // wLength, fixed by EndNode
    PutWord(ValueLength);
    PutWord(Type);
    const std::vector<uint8_t> key = Utf8ToUtf16Le(Key);
    FBytes.insert(FBytes.end(), key.begin(), key.end());
    PutWord(0);
    Pad();
    FBytes.insert(FBytes.end(), Value.begin(), Value.end());
}

void TVersionBlockWriter::BeginText(const std::string& Key, const std::string& Text)
{
    std::vector<uint8_t> value = Utf8ToUtf16Le(Text);
    value.insert(value.end(), UnitBytes, 0);
    Begin(Key, TextType, value, static_cast<uint16_t>(value.size() / UnitBytes));
}

void TVersionBlockWriter::BeginGroup(const std::string& Key)
{
    Begin(Key, TextType, {}, 0);
}

void TVersionBlockWriter::BeginBinary(const std::string& Key, const std::vector<uint8_t>& Value)
{
    Begin(Key, BinaryType, Value, static_cast<uint16_t>(Value.size()));
}

void TVersionBlockWriter::EndNode()
{
    if (FOpenNodes.empty())
        throw std::logic_error("EndNode without an open node");
    const size_t start = FOpenNodes.back();
    FOpenNodes.pop_back();
    const size_t length = FBytes.size() - start;
    if (length > MaxNodeBytes)
        throw std::length_error("a version node is longer than 65535 bytes");
    FBytes[start] = static_cast<uint8_t>(length & 0xFF);
    FBytes[start + 1] = static_cast<uint8_t>(length >> 8);
}

void TVersionBlockWriter::AddText(const std::string& Key, const std::string& Text)
{
    BeginText(Key, Text);
    EndNode();
}

void TVersionBlockWriter::AddBinary(const std::string& Key, const std::vector<uint8_t>& Value)
{
    BeginBinary(Key, Value);
    EndNode();
}

std::vector<uint8_t> TVersionBlockWriter::FixedBytes(const VS_FIXEDFILEINFO& Fixed)
{
    const uint32_t words[FixedWords] = {Fixed.dwSignature, Fixed.dwStrucVersion, Fixed.dwFileVersionMS,
        Fixed.dwFileVersionLS, Fixed.dwProductVersionMS, Fixed.dwProductVersionLS, Fixed.dwFileFlagsMask,
        Fixed.dwFileFlags, Fixed.dwFileOS, Fixed.dwFileType, Fixed.dwFileSubtype, Fixed.dwFileDateMS,
        Fixed.dwFileDateLS};
    std::vector<uint8_t> bytes;
    for (uint32_t word : words)
        PutLong(bytes, word);
    return bytes;
}

VS_FIXEDFILEINFO TVersionBlockWriter::MakeFixed(uint32_t FileMS, uint32_t FileLS, uint32_t ProductMS, uint32_t ProductLS)
{
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = FileMS;
    fixed.dwFileVersionLS = FileLS;
    fixed.dwProductVersionMS = ProductMS;
    fixed.dwProductVersionLS = ProductLS;
    fixed.dwFileType = VFT_APP;
    return fixed;
}

std::vector<uint8_t> TVersionBlockWriter::Build(const TVersionResource& Resource)
{
    TVersionBlockWriter writer;
    writer.BeginBinary(RootKey, Resource.Fixed ? FixedBytes(*Resource.Fixed) : std::vector<uint8_t>());
    if (!Resource.Tables.empty()) {
        writer.BeginGroup("StringFileInfo");
        for (const TVersionStringTable& table : Resource.Tables) {
            writer.BeginGroup(table.Name);
            for (const auto& [key, value] : table.Values)
                writer.AddText(key, value);
            writer.EndNode();
        }
        writer.EndNode();
    }
    if (Resource.Translations) {
        writer.BeginGroup("VarFileInfo");
        writer.AddBinary("Translation", TranslationBytes(*Resource.Translations));
        writer.EndNode();
    }
    writer.EndNode();
    return writer.Bytes();
}
