#pragma once
// A read-only view of a VS_VERSIONINFO block: nodes of a 16-bit length, a 16-bit
// value length, a 16-bit type, a NUL-terminated 16-bit key, the value and the
// children, each part starting on a 32-bit boundary from the block's start.
// No length is trusted: a node that does not fit inside its parent, lacks the
// NUL of its key or has a value longer than itself ends the walk at that point.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One well-formed node; every offset is in bytes from the block's start and
// every range lies inside the node.
struct TVersionNode {
    uint32_t Offset = 0;         // first byte of the node
    uint32_t End = 0;            // one past the node's last byte (Offset + wLength)
    uint32_t ValueOffset = 0;    // first byte of the value
    uint32_t ValueBytes = 0;     // the value's size: wValueLength, doubled for text
    uint16_t Type = 0;           // VersionNodeText or VersionNodeBinary
    uint32_t ChildrenOffset = 0; // first child, 32-bit aligned; End when none fit
    std::string Key;             // the key in UTF-8
};

inline constexpr uint16_t VersionNodeBinary = 0;
inline constexpr uint16_t VersionNodeText = 1;

class TVersionBlock {
public:
    // Views Size bytes at Data; the view does not copy them.
    TVersionBlock(const uint8_t* Data, uint32_t Size);

    // The root node, covering at most Size bytes.
    std::optional<TVersionNode> Root() const;
    // The well-formed children of Parent, in order, up to the first malformed one.
    std::vector<TVersionNode> Children(const TVersionNode& Parent) const;
    // The node named by a '\'-separated path below the root (empty names are
    // skipped, names compare without regard to ASCII case).
    std::optional<TVersionNode> Find(const std::string& Path) const;
    // The text value of a node up to its first NUL, in UTF-8; nothing when the
    // node has a value but no NUL before its end.
    std::optional<std::string> Text(const TVersionNode& Node) const;

    // Splits a query path into its non-empty names.
    static std::vector<std::string> SplitPath(const std::string& Path);
    // Compares two names without regard to ASCII case.
    static bool SameName(const std::string& A, const std::string& B);

private:
    // Parses the node at Offset, which must end by Limit.
    std::optional<TVersionNode> NodeAt(uint32_t Offset, uint32_t Limit) const;
    uint16_t Word(uint32_t Offset) const;
    // Offset of the first NUL 16-bit unit in [From, Limit), if any.
    std::optional<uint32_t> FindNul(uint32_t From, uint32_t Limit) const;

    const uint8_t* FData;  // the block, not owned
    uint32_t FSize;        // bytes of the block that may be read
};
