#include "platform/verres/elfsection.h"

#include <cstring>

namespace {

constexpr uint8_t ElfMagic[] = {0x7F, 'E', 'L', 'F'};
constexpr size_t ClassIndex = 4;            // e_ident[EI_CLASS]
constexpr size_t DataIndex = 5;             // e_ident[EI_DATA]
constexpr uint8_t Class32 = 1;              // ELFCLASS32
constexpr uint8_t Class64 = 2;              // ELFCLASS64
constexpr uint8_t LittleEndian = 1;         // ELFDATA2LSB
constexpr size_t SectionNameAt = 0;         // sh_name, 4 bytes
constexpr size_t SectionTypeAt = 4;         // sh_type, 4 bytes
constexpr uint32_t SectionNoBits = 8;       // SHT_NOBITS: occupies no file space
constexpr uint16_t ExtendedIndex = 0xFFFF;  // SHN_XINDEX: the real index is in section 0
constexpr uint64_t MaxSectionCount = 1u << 16;
constexpr uint64_t MaxNameTableBytes = 1u << 20;

// Where the fields lie in the two classes of ELF file; addresses, offsets and
// sizes are Word bytes long. The 16-byte identification is the same in both.
struct TElfLayout {
    size_t HeaderBytes;        // the ELF header
    size_t SectionHeaderBytes; // one section header
    size_t Word;               // bytes of an offset or size: 4 or 8
    size_t TableOffsetAt;      // e_shoff
    size_t EntryBytesAt;       // e_shentsize, 2 bytes
    size_t CountAt;            // e_shnum, 2 bytes
    size_t NameIndexAt;        // e_shstrndx, 2 bytes
    size_t SectionOffsetAt;    // sh_offset
    size_t SectionSizeAt;      // sh_size
    size_t SectionLinkAt;      // sh_link, 4 bytes
};
constexpr TElfLayout Elf32Layout{52, 40, 4, 32, 46, 48, 50, 16, 20, 24};
constexpr TElfLayout Elf64Layout{64, 64, 8, 40, 58, 60, 62, 24, 32, 40};
// ELF64's headers are the larger; a buffer of their size holds either class's.
constexpr size_t LargestHeaderBytes = Elf64Layout.HeaderBytes;
constexpr size_t LargestSectionHeaderBytes = Elf64Layout.SectionHeaderBytes;
static_assert(LargestHeaderBytes >= Elf32Layout.HeaderBytes &&
              LargestSectionHeaderBytes >= Elf32Layout.SectionHeaderBytes);

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
    const TElfLayout& layout = FElf32 ? Elf32Layout : Elf64Layout;
    uint8_t raw[LargestSectionHeaderBytes];
    if (!ReadAt(FTableOffset + Index * FEntryBytes, layout.SectionHeaderBytes, raw))
        return std::nullopt;
    TSectionHeader header;
    header.Name = static_cast<uint32_t>(Little(raw + SectionNameAt, 4));
    header.Type = static_cast<uint32_t>(Little(raw + SectionTypeAt, 4));
    header.Offset = Little(raw + layout.SectionOffsetAt, layout.Word);
    header.Size = Little(raw + layout.SectionSizeAt, layout.Word);
    header.Link = static_cast<uint32_t>(Little(raw + layout.SectionLinkAt, 4));
    return header;
}

bool TElfSectionReader::ReadHeader()
{
    uint8_t raw[LargestHeaderBytes];
    if (!ReadAt(0, DataIndex + 1, raw) || std::memcmp(raw, ElfMagic, sizeof ElfMagic) != 0)
        return false;
    if (raw[DataIndex] != LittleEndian || (raw[ClassIndex] != Class32 && raw[ClassIndex] != Class64))
        return false;
    FElf32 = raw[ClassIndex] == Class32;
    const TElfLayout& layout = FElf32 ? Elf32Layout : Elf64Layout;
    if (!ReadAt(0, layout.HeaderBytes, raw))
        return false;
    FTableOffset = Little(raw + layout.TableOffsetAt, layout.Word);
    FEntryBytes = Little(raw + layout.EntryBytesAt, 2);
    const uint64_t declaredCount = Little(raw + layout.CountAt, 2);
    FNameTableIndex = Little(raw + layout.NameIndexAt, 2);
    if (FTableOffset == 0 || FTableOffset > FFileSize || FEntryBytes < layout.SectionHeaderBytes)
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
