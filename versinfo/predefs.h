#pragma once
// The predefined keys of a version resource and the build flags of its fixed
// record, as enumerations with small sets, and their key and caption tables.

#include <array>
#include <initializer_list>
#include <cstdint>
#include <string>

// A set of the elements of an enumeration whose ordinals fit in the bits of TBits.
template <class TElement, class TBits>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    // From the bits of a set: bit n stands for ordinal n (the form loader's form).
    constexpr explicit TEnumSet(TBits Bits) : FBits(Bits) {}
    constexpr TEnumSet(std::initializer_list<TElement> Elements)
    {
        for (TElement e : Elements)
            Include(e);
    }

    constexpr bool Contains(TElement Element) const { return (FBits & Bit(Element)) != 0; }
    constexpr void Include(TElement Element) { FBits = static_cast<TBits>(FBits | Bit(Element)); }
    constexpr void Exclude(TElement Element) { FBits = static_cast<TBits>(FBits & ~Bit(Element)); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TBits Bits() const { return FBits; }

    friend constexpr bool operator==(TEnumSet A, TEnumSet B) { return A.FBits == B.FBits; }

private:
    static constexpr TBits Bit(TElement Element) { return static_cast<TBits>(1u << static_cast<unsigned>(Element)); }

    TBits FBits = 0; // bit n set: the element of ordinal n is in the set
};

// The predefined string keys, in the order of their ordinals.
enum TPreDef : int {
    pdCompanyName,
    pdFileDescription,
    pdFileVersion,
    pdInternalName,
    pdLegalCopyright,
    pdLegalTrademarks,
    pdOriginalFilename,
    pdProductName,
    pdProductVersion,
    pdComments,
    pdBuildFlags,
};
inline constexpr int PreDefCount = pdBuildFlags + 1;
using TPreDefs = TEnumSet<TPreDef, uint16_t>;

// Every element of TPreDef.
inline constexpr TPreDefs AllPreDefs{static_cast<uint16_t>((1u << PreDefCount) - 1)};

// The build flags, alphabetical by caption (not in the order of their bits).
enum TBuildFlag : int {
    bfDebug,
    bfInfoInferred,
    bfPatched,
    bfPreRelease,
    bfPrivate,
    bfSpecial,
};
inline constexpr int BuildFlagCount = bfSpecial + 1;
using TBuildFlags = TEnumSet<TBuildFlag, uint8_t>;

// The string-table key of each element.
inline constexpr std::array<const char*, PreDefCount> PreDefKeys = {
    "CompanyName", "FileDescription", "FileVersion",  "InternalName",   "LegalCopyright", "LegalTrademarks",
    "OriginalFilename", "ProductName", "ProductVersion", "Comments", "BuildFlags",
};

// The dwFileFlags bit that sets each build flag.
extern const std::array<uint32_t, BuildFlagCount> BuildFlagBits;

// The string-resource ids of the captions.
extern const std::array<int, PreDefCount> PreDefCaptionIds;
extern const std::array<int, BuildFlagCount> BuildFlagCaptionIds;
inline constexpr int ResourceColumnCaptionId = 65526; // "Resource"
inline constexpr int ValueColumnCaptionId = 65527;    // "Value"

// The display captions, loaded from the string resources when the program starts.
extern const std::array<std::string, PreDefCount> PreDefCaptions;
extern const std::array<std::string, BuildFlagCount> BuildFlagCaptions;
