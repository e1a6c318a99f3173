#pragma once
// Minimal 64-bit little-endian ELF files for the version-information tests: a
// header, the given sections, their name table and the section header table.

#include <cstdint>
#include <string>
#include <vector>

namespace versiontest {

inline constexpr uint32_t ElfProgBits = 1;  // SHT_PROGBITS
inline constexpr uint32_t ElfNoBits = 8;    // SHT_NOBITS

struct TElfSection {
    std::string Name;
    std::vector<uint8_t> Contents;
    uint32_t Type = ElfProgBits;
};

// Field offsets that tests patch to damage a file.
inline constexpr size_t ElfClassAt = 4;          // e_ident[EI_CLASS]
inline constexpr size_t ElfDataAt = 5;           // e_ident[EI_DATA]
inline constexpr size_t ElfSectionTableAt = 40;  // e_shoff, 8 bytes
inline constexpr size_t ElfSectionCountAt = 60;  // e_shnum, 2 bytes
inline constexpr size_t ElfNameIndexAt = 62;     // e_shstrndx, 2 bytes
inline constexpr size_t ElfSectionOffsetAt = 24; // sh_offset within a section header, 8 bytes
inline constexpr size_t ElfSectionSizeAt = 32;   // sh_size within a section header, 8 bytes
inline constexpr size_t ElfSectionNameAt = 0;    // sh_name within a section header, 4 bytes

// The file's bytes. Section header 0 is the null section, then Sections in
// order, then the name table.
std::vector<uint8_t> BuildElf(const std::vector<TElfSection>& Sections);

// Offset of section header Index in a file built by BuildElf.
size_t ElfSectionHeaderAt(const std::vector<uint8_t>& File, size_t Index);

// Writes Value as Count little-endian bytes at At.
void PatchLittle(std::vector<uint8_t>& File, size_t At, uint64_t Value, size_t Count);

} // namespace versiontest
