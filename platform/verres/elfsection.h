#pragma once
// Reads one named section of a little-endian ELF file, 32-bit (armhf) or
// 64-bit. Every offset,
// size and index taken from the file is checked against the file's real size
// before it is used.

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

class TElfSectionReader {
public:
    // Sections larger than this (bytes) are refused.
    static constexpr uint64_t MaxSectionBytes = 1u << 20;

    explicit TElfSectionReader(const std::string& FileName);

    // The contents of the section named SectionName; false when the file cannot
    // be read, is not a little-endian ELF file, has no such section, or
    // the section holds no file data or is larger than MaxSectionBytes.
    bool Read(const std::string& SectionName, std::vector<uint8_t>& Contents);

private:
    struct TSectionHeader {
        uint32_t Name = 0;    // offset of the name in the name table
        uint32_t Type = 0;    // SHT_* value
        uint32_t Link = 0;    // section 0: the name table's index when e_shstrndx overflows
        uint64_t Offset = 0;  // file offset of the contents
        uint64_t Size = 0;    // bytes; section 0: the section count when e_shnum overflows
    };

    bool ReadAt(uint64_t Offset, uint64_t Count, uint8_t* Out);
    bool ReadHeader();
    std::optional<TSectionHeader> Section(uint64_t Index);
    bool HasName(const TSectionHeader& Names, uint32_t NameOffset, const std::string& Wanted);

    std::ifstream FStream;
    bool FElf32 = false;           // a 32-bit ELF file: its own field layout; else 64-bit
    uint64_t FFileSize = 0;        // bytes
    uint64_t FCount = 0;           // section headers
    uint64_t FTableOffset = 0;     // file offset of the section header table
    uint64_t FEntryBytes = 0;      // size of one section header, at least the class's (40 or 64)
    uint64_t FNameTableIndex = 0;  // section holding the section names
};
