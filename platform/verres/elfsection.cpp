#include "platform/verres/elfsection.h"

#include <cstring>

namespace {

constexpr size_t ElfHeaderBytes = 64;
constexpr size_t SectionHeaderBytes = 64;
constexpr uint8_t ElfMagic[] = {0x7F, 'E', 'L', 'F'};
constexpr size_t ClassIndex = 4;            // e_ident[EI_CLASS]
constexpr size_t DataIndex = 5;             // e_ident[EI_DATA]
constexpr uint8_t Class64 = 2;              // ELFCLASS64
constexpr uint8_t LittleEndian = 1;         // ELFDATA2LSB
constexpr size_t TableOffsetAt = 40;        // e_shoff, 8 bytes
constexpr size_t EntryBytesAt = 58;         // e_shentsize, 2 bytes
constexpr size_t CountAt = 60;              // e_shnum, 2 bytes
constexpr size_t NameIndexAt = 62;          // e_shstrndx, 2 bytes
constexpr size_t SectionNameAt = 0;         // sh_name, 4 bytes
constexpr size_t SectionTypeAt = 4;         // sh_type, 4 bytes
constexpr size_t SectionOffsetAt = 24;      // sh_offset, 8 bytes
constexpr size_t SectionSizeAt = 32;        // sh_size, 8 bytes
constexpr size_t SectionLinkAt = 40;        // sh_link, 4 bytes
constexpr uint32_t SectionNoBits = 8;       // SHT_NOBITS: occupies no file space
constexpr uint16_t ExtendedIndex = 0xFFFF;  // SHN_XINDEX: the real index is in section 0
constexpr uint64_t MaxSectionCount = 1u << 16;
constexpr uint64_t MaxNameTableBytes = 1u << 20;

uint64_t Little(const uint8_t* Bytes, size_t Count)
{
    uint64_t value = 0;
    for (size_t i = Count; i-- > 0;)
        value = (value << 8) | Bytes[i];
    return value;
}

} // namespace

TElfSectionReader::TElfSectionReader(const std::string& FileName) : FStream(FileName, std::ios::binary)
{
    if (!FStream)
        return;
    FStream.seekg(0, std::ios::end);
    const auto end = FStream.tellg();
    FFileSize = end < 0 ? 0 : static_cast<uint64_t>(end);
}

bool TElfSectionReader::ReadAt(uint64_t Offset, uint64_t Count, uint8_t* Out)
{
    if (!FStream.is_open() || Offset > FFileSize || Count > FFileSize - Offset)
        return false;
    FStream.clear();
    FStream.seekg(static_cast<std::streamoff>(Offset));
    FStream.read(reinterpret_cast<char*>(Out), static_cast<std::streamsize>(Count));
    return static_cast<uint64_t>(FStream.gcount()) == Count;
}

std::optional<TElfSectionReader::TSectionHeader> TElfSectionReader::Section(uint64_t Index)
{
    if (Index >= FCount || Index > (FFileSize - FTableOffset) / FEntryBytes)
        return std::nullopt;
    uint8_t raw[SectionHeaderBytes];
    if (!ReadAt(FTableOffset + Index * FEntryBytes, SectionHeaderBytes, raw))
        return std::nullopt;
    TSectionHeader header;
    header.Name = static_cast<uint32_t>(Little(raw + SectionNameAt, 4));
    header.Type = static_cast<uint32_t>(Little(raw + SectionTypeAt, 4));
    header.Offset = Little(raw + SectionOffsetAt, 8);
    header.Size = Little(raw + SectionSizeAt, 8);
    header.Link = static_cast<uint32_t>(Little(raw + SectionLinkAt, 4));
    return header;
}

bool TElfSectionReader::ReadHeader()
{
    uint8_t raw[ElfHeaderBytes];
    if (!ReadAt(0, ElfHeaderBytes, raw) || std::memcmp(raw, ElfMagic, sizeof ElfMagic) != 0)
        return false;
    if (raw[ClassIndex] != Class64 || raw[DataIndex] != LittleEndian)
        return false;
    FTableOffset = Little(raw + TableOffsetAt, 8);
    FEntryBytes = Little(raw + EntryBytesAt, 2);
    const uint64_t declaredCount = Little(raw + CountAt, 2);
    FNameTableIndex = Little(raw + NameIndexAt, 2);
    if (FTableOffset == 0 || FTableOffset > FFileSize || FEntryBytes < SectionHeaderBytes)
        return false;
    FCount = declaredCount == 0 ? 1 : declaredCount;
    if (declaredCount == 0 || FNameTableIndex == ExtendedIndex) {
        // Too many sections for the header's fields: section 0 holds the real values.
        const auto first = Section(0);
        if (!first)
            return false;
        if (declaredCount == 0)
            FCount = first->Size;
        if (FNameTableIndex == ExtendedIndex)
            FNameTableIndex = first->Link;
    }
    return FCount <= MaxSectionCount;
}

bool TElfSectionReader::HasName(const TSectionHeader& Names, uint32_t NameOffset, const std::string& Wanted)
{
    const uint64_t needed = Wanted.size() + 1;  // with the NUL, so a longer name does not match
    if (NameOffset > Names.Size || needed > Names.Size - NameOffset)
        return false;
    std::vector<uint8_t> name(needed);
    if (!ReadAt(Names.Offset + NameOffset, needed, name.data()))
        return false;
    return std::memcmp(name.data(), Wanted.c_str(), needed) == 0;
}

bool TElfSectionReader::Read(const std::string& SectionName, std::vector<uint8_t>& Contents)
{
    Contents.clear();
    if (!ReadHeader())
        return false;
    const auto names = Section(FNameTableIndex);
    if (!names || names->Type == SectionNoBits || names->Size > MaxNameTableBytes)
        return false;
    for (uint64_t i = 0; i < FCount; ++i) {
        const auto section = Section(i);
        if (!section || !HasName(*names, section->Name, SectionName))
            continue;
        if (section->Type == SectionNoBits || section->Size > MaxSectionBytes)
            return false;
        Contents.resize(section->Size);
        if (!ReadAt(section->Offset, section->Size, Contents.data())) {
            Contents.clear();
            return false;
        }
        return true;
    }
    return false;
}
