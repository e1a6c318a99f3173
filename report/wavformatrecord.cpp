#include "report/wavformatrecord.h"

#include "report/wavinput.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <string>

namespace measure {

namespace {

constexpr uint16_t TagPcm = 0x0001;
constexpr uint16_t TagFloat = 0x0003;
constexpr uint16_t TagExtensible = 0xFFFE;
constexpr uint16_t MeasuredBits = 16;
constexpr size_t PcmRecordBytes = 16;
constexpr size_t ExtensibleRecordBytes = 40;
// Offsets in the record.
constexpr size_t TagAt = 0, ChannelsAt = 2, RateAt = 4, BitsAt = 14, ValidBitsAt = 18, SubformatAt = 24;
// The subformat GUID after its first two bytes, which hold the format tag.
constexpr std::array<uint8_t, 14> SubformatGuidTail{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr const char* OnlyPcm16 = ": only 16-bit PCM is measured";

struct TTagName {
    uint16_t Tag;
    const char* Name;
};

constexpr TTagName TagNames[] = {
    {0x0002, "Microsoft ADPCM"}, {0x0006, "A-law"},     {0x0007, "mu-law"},        {0x0011, "IMA ADPCM"},
    {0x0031, "GSM 6.10"},        {0x0050, "MPEG audio"}, {0x0055, "MP3"},          {0x00FF, "AAC"},
    {0x1610, "AAC"},             {0xF1AC, "FLAC"},
};

// What samples of this tag and size are, in a few words.
std::string Kind(uint16_t Tag, uint16_t Bits)
{
    if (Tag == TagPcm)
        return std::to_string(Bits) + "-bit PCM";
    if (Tag == TagFloat)
        return std::to_string(Bits) + "-bit float";
    const auto* named = std::find_if(std::begin(TagNames), std::end(TagNames), [&](const TTagName& N) { return N.Tag == Tag; });
    if (named != std::end(TagNames))
        return named->Name;
    char text[32];
    std::snprintf(text, sizeof text, "format tag 0x%04X", Tag);
    return text;
}

// The tag that an extensible record's subformat carries; throws for a subformat that is no tag.
uint16_t SubformatTag(const uint8_t* Record, size_t Bytes)
{
    if (Bytes < ExtensibleRecordBytes)
        throw EWavFileError("a WAVE_FORMAT_EXTENSIBLE record of " + std::to_string(Bytes) + " bytes, under the " +
                            std::to_string(ExtensibleRecordBytes) + " it needs");
    if (!std::equal(SubformatGuidTail.begin(), SubformatGuidTail.end(), Record + SubformatAt + 2))
        throw EWavFileError(std::string("WAVE_FORMAT_EXTENSIBLE with an unknown subformat") + OnlyPcm16);
    return LittleEndian16(Record + SubformatAt);
}

} // namespace

uint16_t LittleEndian16(const uint8_t* At)
{
    return static_cast<uint16_t>(At[0] | At[1] << 8);
}

uint32_t LittleEndian32(const uint8_t* At)
{
    return static_cast<uint32_t>(LittleEndian16(At)) | static_cast<uint32_t>(LittleEndian16(At + 2)) << 16;
}

TPcmFormat PcmFormatOf(const uint8_t* Record, size_t Bytes)
{
    if (Bytes < PcmRecordBytes)
        throw EWavFileError("a format record of " + std::to_string(Bytes) + " bytes, under the " +
                            std::to_string(PcmRecordBytes) + " of PCM");
    const uint16_t tag = LittleEndian16(Record + TagAt);
    const uint16_t bits = LittleEndian16(Record + BitsAt);
    const bool extensible = tag == TagExtensible;
    const uint16_t sampleTag = extensible ? SubformatTag(Record, Bytes) : tag;
    if (sampleTag != TagPcm || bits != MeasuredBits)
        throw EWavFileError(Kind(sampleTag, bits) + OnlyPcm16);
    if (extensible && LittleEndian16(Record + ValidBitsAt) != MeasuredBits)
        throw EWavFileError("16-bit PCM with " + std::to_string(LittleEndian16(Record + ValidBitsAt)) + " valid bits" + OnlyPcm16);
    TPcmFormat format;
    format.Channels = LittleEndian16(Record + ChannelsAt);
    format.SampleRate = LittleEndian32(Record + RateAt);
    if (format.Channels == 0)
        throw EWavFileError("the format record gives 0 channels");
    if (format.SampleRate == 0)
        throw EWavFileError("the sample rate is 0, so no time can be given");
    return format;
}

} // namespace measure
