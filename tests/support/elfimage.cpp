#include "support/elfimage.h"

#include <algorithm>
#include <iterator>

namespace versiontest {

namespace {

constexpr size_t HeaderBytes = 64;
constexpr size_t SectionHeaderBytes = 64;
constexpr size_t ContentAlignment = 8;
constexpr uint16_t Relocatable = 1;  // ET_REL
constexpr uint16_t X86_64 = 62;      // EM_X86_64
constexpr uint32_t StringTable = 3;  // SHT_STRTAB

void Put(std::vector<uint8_t>& Out, uint64_t Value, size_t Count)
{
    for (size_t i = 0; i < Count; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

void AlignTo(std::vector<uint8_t>& Out, size_t Alignment)
{
    while (Out.size() % Alignment != 0)
        Out.push_back(0);
}

struct TPlaced {
    uint32_t Name;    // offset in the name table
    uint32_t Type;
    uint64_t Offset;  // in the file
    uint64_t Size;
};

void PutSectionHeader(std::vector<uint8_t>& Out, const TPlaced& Section)
{
    Put(Out, Section.Name, 4);
    Put(Out, Section.Type, 4);
    Put(Out, 0, 8);  // flags
    Put(Out, 0, 8);  // address
    Put(Out, Section.Offset, 8);
    Put(Out, Section.Size, 8);
    Put(Out, 0, 4);  // link
    Put(Out, 0, 4);  // info
    Put(Out, 1, 8);  // alignment
    Put(Out, 0, 8);  // entry size
}

void PutHeader(std::vector<uint8_t>& Out, uint64_t TableOffset, uint16_t Count)
{
    const uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Out.insert(Out.end(), std::begin(ident), std::end(ident));
    Put(Out, Relocatable, 2);
    Put(Out, X86_64, 2);
    Put(Out, 1, 4);  // version
    Put(Out, 0, 8);  // entry
    Put(Out, 0, 8);  // program headers
    Put(Out, TableOffset, 8);
    Put(Out, 0, 4);  // flags
    Put(Out, HeaderBytes, 2);
    Put(Out, 0, 2);  // program header size
    Put(Out, 0, 2);  // program header count
    Put(Out, SectionHeaderBytes, 2);
    Put(Out, Count, 2);
    Put(Out, Count - 1u, 2);  // the name table comes last
}

} // namespace

std::vector<uint8_t> BuildElf(const std::vector<TElfSection>& Sections)
{
    std::vector<uint8_t> body(HeaderBytes, 0);
    std::vector<uint8_t> names(1, 0);
    std::vector<TPlaced> placed{{0, 0, 0, 0}};
    for (const TElfSection& section : Sections) {
        AlignTo(body, ContentAlignment);
        placed.push_back({static_cast<uint32_t>(names.size()), section.Type, body.size(), section.Contents.size()});
        names.insert(names.end(), section.Name.begin(), section.Name.end());
        names.push_back(0);
        if (section.Type != ElfNoBits)
            body.insert(body.end(), section.Contents.begin(), section.Contents.end());
    }
    const std::string tableName = ".shstrtab";
    placed.push_back({static_cast<uint32_t>(names.size()), StringTable, body.size(), names.size() + tableName.size() + 1});
    names.insert(names.end(), tableName.begin(), tableName.end());
    names.push_back(0);
    body.insert(body.end(), names.begin(), names.end());
    AlignTo(body, ContentAlignment);
    const uint64_t tableOffset = body.size();
    for (const TPlaced& section : placed)
        PutSectionHeader(body, section);
    std::vector<uint8_t> header;
    PutHeader(header, tableOffset, static_cast<uint16_t>(placed.size()));
    std::copy(header.begin(), header.end(), body.begin());
    return body;
}

size_t ElfSectionHeaderAt(const std::vector<uint8_t>& File, size_t Index)
{
    uint64_t tableOffset = 0;
    for (size_t i = 8; i-- > 0;)
        tableOffset = (tableOffset << 8) | File[ElfSectionTableAt + i];
    return static_cast<size_t>(tableOffset) + Index * SectionHeaderBytes;
}

void PatchLittle(std::vector<uint8_t>& File, size_t At, uint64_t Value, size_t Count)
{
    for (size_t i = 0; i < Count; ++i)
        File[At + i] = static_cast<uint8_t>(Value >> (8 * i));
}

} // namespace versiontest
