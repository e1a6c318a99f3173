#pragma once
// Writes VS_VERSIONINFO blocks in the 16-bit text layout that resource compilers
// produce: the build's resource generator uses it for the program's own block,
// and tests use it for blocks of any shape.

#include "platform/verres/winver.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One string table: its name (eight hex digits, language then code page) and its
// key/value pairs in the order they are written.
struct TVersionStringTable {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
};

// A whole version resource.
struct TVersionResource {
    std::optional<VS_FIXEDFILEINFO> Fixed;  // the root's value; none writes an empty one
    std::vector<TVersionStringTable> Tables;
    // The (language, code page) pairs of "\VarFileInfo\Translation"; none leaves
    // out VarFileInfo altogether.
    std::optional<std::vector<std::pair<uint16_t, uint16_t>>> Translations;
};

class TVersionBlockWriter {
public:
    // Opens a node; its children follow until the matching EndNode.
    // Text values are written as 16-bit units with a NUL and counted in units;
    // binary values are written as given and counted in bytes; a group (such as
    // "StringFileInfo" or a string table) is a text node without a value.
    void BeginGroup(const std::string& Key);
    void BeginText(const std::string& Key, const std::string& Text);
    void BeginBinary(const std::string& Key, const std::vector<uint8_t>& Value);
    // Closes the innermost open node, fixing its length.
    void EndNode();

    // A text or binary node without children.
    void AddText(const std::string& Key, const std::string& Text);
    void AddBinary(const std::string& Key, const std::vector<uint8_t>& Value);

    // The block so far; complete once every node is closed.
    const std::vector<uint8_t>& Bytes() const { return FBytes; }

    // The block of a whole resource, with the root key "VS_VERSION_INFO".
    static std::vector<uint8_t> Build(const TVersionResource& Resource);
    // The 52 bytes of a fixed record, in file order.
    static std::vector<uint8_t> FixedBytes(const VS_FIXEDFILEINFO& Fixed);
    // A fixed record with its signature, layout version and the given versions.
    static VS_FIXEDFILEINFO MakeFixed(uint32_t FileMS, uint32_t FileLS, uint32_t ProductMS, uint32_t ProductLS);

private:
    void Begin(const std::string& Key, uint16_t Type, const std::vector<uint8_t>& Value, uint16_t ValueLength);
    void Pad();
    void PutWord(uint16_t Word);

    std::vector<uint8_t> FBytes;        // the block being written
    std::vector<size_t> FOpenNodes;     // offsets of the nodes not yet closed
};
