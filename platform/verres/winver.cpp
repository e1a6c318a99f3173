#include "platform/verres/winver.h"

#include "platform/verres/versionblock.h"

#include <cstring>
#include <vector>

// A prepared buffer is the block (its root's wLength bytes), padding to a 32-bit
// boundary, then the side area: a header, one entry per string value found
// under "StringFileInfo", and the NUL-terminated UTF-8 texts. VerQueryValue
// finds a string's node in the block and hands out its text from the side area.

namespace {

constexpr uint32_t SideAreaMagic = 0x38465455;  // "UTF8", marks a prepared buffer
constexpr uint32_t AlignmentBytes = 4;
constexpr uint32_t NodeLengthBytes = 2;         // the root's wLength
constexpr const char* StringsName = "StringFileInfo";
constexpr size_t StringPathDepth = 3;           // StringFileInfo, table, key

struct TSideHeader {
    uint32_t Magic;  // SideAreaMagic
    uint32_t Count;  // entries that follow
    uint32_t Bytes;  // size of the whole side area, header included
};

struct TSideEntry {
    uint32_t NodeOffset;  // the string's node, bytes from the block's start
    uint32_t TextOffset;  // its UTF-8 text, bytes from the side area's start
    uint32_t TextBytes;   // the text's length without its NUL
};

uint32_t Align(uint32_t Offset)
{
    return (Offset + AlignmentBytes - 1) & ~(AlignmentBytes - 1);
}

uint32_t RootLength(const uint8_t* Block)
{
    return static_cast<uint32_t>(Block[0] | (Block[1] << 8));
}

// Each string value's node with its text, in the order of the block.
std::vector<std::pair<TVersionNode, std::string>> CollectStrings(const TVersionBlock& Block, const TVersionNode& Root)
{
    std::vector<std::pair<TVersionNode, std::string>> strings;
    for (const TVersionNode& group : Block.Children(Root)) {
        if (!TVersionBlock::SameName(group.Key, StringsName))
            continue;
        for (const TVersionNode& table : Block.Children(group)) {
            for (const TVersionNode& value : Block.Children(table)) {
                if (auto text = Block.Text(value))
                    strings.emplace_back(value, std::move(*text));
            }
        }
    }
    return strings;
}

// The prepared buffer for a raw block; empty when the root is unusable.
std::vector<uint8_t> Prepare(const uint8_t* Raw, uint32_t RawLen)
{
    if (!Raw || RawLen < NodeLengthBytes)
        return {};
    const uint32_t blockBytes = RootLength(Raw);
    if (blockBytes > RawLen)
        return {};
    const TVersionBlock block(Raw, blockBytes);
    const auto root = block.Root();
    if (!root)
        return {};
    const auto strings = CollectStrings(block, *root);
    const uint32_t sideStart = Align(blockBytes);
    TSideHeader header{SideAreaMagic, static_cast<uint32_t>(strings.size()), 0};
    std::vector<uint8_t> side(sizeof header + strings.size() * sizeof(TSideEntry));
    for (size_t i = 0; i < strings.size(); ++i) {
        const auto& [node, text] = strings[i];
        const TSideEntry entry{node.Offset, static_cast<uint32_t>(side.size()), static_cast<uint32_t>(text.size())};
        std::memcpy(side.data() + sizeof header + i * sizeof entry, &entry, sizeof entry);
        side.insert(side.end(), text.begin(), text.end());
        side.push_back(0);
    }
    header.Bytes = static_cast<uint32_t>(side.size());
    std::memcpy(side.data(), &header, sizeof header);
    std::vector<uint8_t> prepared(sideStart, 0);
    std::memcpy(prepared.data(), Raw, blockBytes);
    prepared.insert(prepared.end(), side.begin(), side.end());
    return prepared;
}

bool Deliver(const std::vector<uint8_t>& Prepared, uint32_t Len, void* Data)
{
    if (!Data)
        return false;
    if (Prepared.empty() || Prepared.size() > Len) {
        std::memset(Data, 0, Len);
        return false;
    }
    std::memcpy(Data, Prepared.data(), Prepared.size());
    std::memset(static_cast<uint8_t*>(Data) + Prepared.size(), 0, Len - Prepared.size());
    return true;
}

// The UTF-8 text that the side area holds for the node at NodeOffset.
char* SideText(const uint8_t* Block, uint32_t NodeOffset, uint32_t& TextBytes)
{
    const uint8_t* side = Block + Align(RootLength(Block));
    TSideHeader header;
    std::memcpy(&header, side, sizeof header);
    if (header.Magic != SideAreaMagic || header.Bytes < sizeof header ||
        header.Count > (header.Bytes - sizeof header) / sizeof(TSideEntry))
        return nullptr;
    for (uint32_t i = 0; i < header.Count; ++i) {
        TSideEntry entry;
        std::memcpy(&entry, side + sizeof header + i * sizeof entry, sizeof entry);
        if (entry.NodeOffset != NodeOffset)
            continue;
        if (entry.TextOffset > header.Bytes || entry.TextBytes >= header.Bytes - entry.TextOffset)
            return nullptr;
        TextBytes = entry.TextBytes;
        return const_cast<char*>(reinterpret_cast<const char*>(side + entry.TextOffset));
    }
    return nullptr;
}

// Every value under "StringFileInfo" is read as text; only a string (a node
// at StringPathDepth) has one, so a table or the group itself is not found.
bool IsStringPath(const std::vector<std::string>& Names)
{
    return !Names.empty() && TVersionBlock::SameName(Names[0], StringsName);
}

} // namespace

uint32_t GetVersionInfoSizeFromBlock(const void* Raw, uint32_t RawLen)
{
    return static_cast<uint32_t>(Prepare(static_cast<const uint8_t*>(Raw), RawLen).size());
}

bool GetVersionInfoFromBlock(const void* Raw, uint32_t RawLen, uint32_t Len, void* Data)
{
    return Deliver(Prepare(static_cast<const uint8_t*>(Raw), RawLen), Len, Data);
}

bool VerQueryValue(const void* Block, const std::string& SubBlock, void** Buffer, uint32_t* Len)
{
    if (Buffer)
        *Buffer = nullptr;
    if (Len)
        *Len = 0;
    if (!Block || !Buffer)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(Block);
    const TVersionBlock block(bytes, RootLength(bytes));
    const auto node = block.Find(SubBlock);
    if (!node)
        return false;
    const auto names = TVersionBlock::SplitPath(SubBlock);
    uint32_t size = node->ValueBytes;
    void* found = const_cast<uint8_t*>(bytes + node->ValueOffset);
    if (IsStringPath(names)) {
        found = names.size() == StringPathDepth ? SideText(bytes, node->Offset, size) : nullptr;
        size += 1;  // the NUL
    } else if (names.empty() && size < sizeof(VS_FIXEDFILEINFO)) {
        found = nullptr;  // too short to be read as the fixed record
    }
    if (!found)
        return false;
    *Buffer = found;
    if (Len)
        *Len = size;
    return true;
}
