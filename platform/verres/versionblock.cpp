#include "platform/verres/versionblock.h"

#include "platform/verres/utf16.h"

#include <algorithm>

namespace {

constexpr uint32_t NodeHeaderBytes = 6;  // wLength, wValueLength, wType
constexpr uint32_t UnitBytes = 2;        // one 16-bit code unit
constexpr uint32_t AlignmentBytes = 4;   // nodes and values start on 32-bit boundaries
constexpr char PathSeparator = '\\';

uint32_t Align(uint32_t Offset)
{
    return (Offset + AlignmentBytes - 1) & ~(AlignmentBytes - 1);
}

char LowerAscii(char C)
{
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

} // namespace

TVersionBlock::TVersionBlock(const uint8_t* Data, uint32_t Size) : FData(Data), FSize(Data ? Size : 0) {}

uint16_t TVersionBlock::Word(uint32_t Offset) const
{
    return static_cast<uint16_t>(FData[Offset] | (FData[Offset + 1] << 8));
}

std::optional<uint32_t> TVersionBlock::FindNul(uint32_t From, uint32_t Limit) const
{
    for (uint32_t at = From; at + UnitBytes <= Limit; at += UnitBytes) {
        if (Word(at) == 0)
            return at;
    }
    return std::nullopt;
}

std::optional<TVersionNode> TVersionBlock::NodeAt(uint32_t Offset, uint32_t Limit) const
{
    if (Limit > FSize || Offset > Limit || Limit - Offset < NodeHeaderBytes)
        return std::nullopt;
    const uint32_t length = Word(Offset);
    if (length < NodeHeaderBytes || length > Limit - Offset)
        return std::nullopt;
    TVersionNode node;
    node.Offset = Offset;
    node.End = Offset + length;
    node.Type = Word(Offset + 4);
    const uint32_t keyStart = Offset + NodeHeaderBytes;
    const auto nul = FindNul(keyStart, node.End);
    if (!nul)
        return std::nullopt;
    node.Key = Utf16LeToUtf8(FData + keyStart, (*nul - keyStart) / UnitBytes);
    const uint32_t valueUnits = Word(Offset + 2);
    node.ValueBytes = node.Type == VersionNodeText ? valueUnits * UnitBytes : valueUnits;
    node.ValueOffset = std::min(Align(*nul + UnitBytes), node.End);
    if (node.ValueBytes > node.End - node.ValueOffset)
        return std::nullopt;
    node.ChildrenOffset = std::min(Align(node.ValueOffset + node.ValueBytes), node.End);
    return node;
}

std::optional<TVersionNode> TVersionBlock::Root() const
{
    if (FSize < NodeHeaderBytes)
        return std::nullopt;
    return NodeAt(0, FSize);
}

std::vector<TVersionNode> TVersionBlock::Children(const TVersionNode& Parent) const
{
    std::vector<TVersionNode> children;
    uint32_t at = Parent.ChildrenOffset;
    while (at < Parent.End && Parent.End - at >= NodeHeaderBytes) {
        const auto child = NodeAt(at, Parent.End);
        if (!child)
            break;
        children.push_back(*child);
        at = Align(child->End);
    }
    return children;
}

std::optional<TVersionNode> TVersionBlock::Find(const std::string& Path) const
{
    auto node = Root();
    for (const std::string& name : SplitPath(Path)) {
        if (!node)
            return std::nullopt;
        std::optional<TVersionNode> found;
        for (const TVersionNode& child : Children(*node)) {
            if (SameName(child.Key, name)) {
                found = child;
                break;
            }
        }
        node = found;
    }
    return node;
}

std::optional<std::string> TVersionBlock::Text(const TVersionNode& Node) const
{
    if (Node.ValueBytes == 0)
        return std::string();
    const auto nul = FindNul(Node.ValueOffset, Node.End);
    if (!nul)
        return std::nullopt;
    return Utf16LeToUtf8(FData + Node.ValueOffset, (*nul - Node.ValueOffset) / UnitBytes);
}

std::vector<std::string> TVersionBlock::SplitPath(const std::string& Path)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= Path.size()) {
        size_t stop = Path.find(PathSeparator, start);
        if (stop == std::string::npos)
            stop = Path.size();
        if (stop > start)
            names.push_back(Path.substr(start, stop - start));
        start = stop + 1;
    }
    return names;
}

bool TVersionBlock::SameName(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i) {
        if (LowerAscii(A[i]) != LowerAscii(B[i]))
            return false;
    }
    return true;
}
