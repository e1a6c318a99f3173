#include "report/jsonreport.h"

#include "report/floattext.h"
#include "report/markadvice.h"

namespace measure {

namespace {

constexpr unsigned char FirstPrintable = 0x20;
constexpr const char* ReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// The byte length of the well-formed UTF-8 sequence at Text[At], or 0 when
// it is not one (a stray continuation byte, an overlong form, a surrogate,
// beyond U+10FFFF, or cut off).
size_t Utf8SequenceBytes(const std::string& Text, size_t At)
{
    const auto lead = static_cast<unsigned char>(Text[At]);
    if (lead < 0x80)
        return 1;
    // The length, and the range of the second byte, for each lead byte.
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || At + length > Text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(Text[At + k]);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// The bytes of Text as lower-case hexadecimal.
std::string HexBytes(const std::string& Text)
{
    std::string hex;
    for (char c : Text) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

} // namespace

std::string JsonString(const std::string& Text)
{
    std::string out = "\"";
    for (size_t i = 0; i < Text.size();) {
        const auto byte = static_cast<unsigned char>(Text[i]);
        const size_t length = Utf8SequenceBytes(Text, i);
        if (length == 0) {
            out += ReplacementCharacter;
            ++i;
            continue;
        }
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += Text[i];
        } else if (byte < FirstPrintable) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out.append(Text, i, length);
        }
        i += length;
    }
    return out + "\"";
}

bool IsUtf8(const std::string& Text)
{
    for (size_t i = 0; i < Text.size();) {
        const size_t length = Utf8SequenceBytes(Text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

TJsonReport::TJsonReport(std::FILE* Out, const std::string& Version, bool PeakLevel) : FOut(Out)
{
    std::fprintf(FOut, "{\"program\":\"quimbrel-measure\",\"version\":%s,\"measure\":\"%s\",\"files\":[",
                 JsonString(Version).c_str(), PeakLevel ? "peak" : "rms");
}

void TJsonReport::NextFile()
{
    std::fprintf(FOut, FFiles++ > 0 ? ",\n" : "\n");
    FBlocks = 0;
    FBlocksOpen = false;
}

void TJsonReport::BeginFile(const TFileInfo& Info)
{
    NextFile();
    std::fprintf(FOut, "{\"file\":%s", JsonString(Info.FileName).c_str());
    if (!IsUtf8(Info.FileName))
        std::fprintf(FOut, ",\"file_bytes\":\"%s\"", HexBytes(Info.FileName).c_str());
    std::fprintf(FOut, ",\"rate_hz\":%u,\"channels\":%u,\"measured_channels\":%s,\"streamed\":%s", Info.SampleRate,
                 Info.Channels, Info.Channels == 1 ? "[1]" : "[1,2]", Info.Streamed ? "true" : "false");
    if (!Info.CountedAtEnd)
        WriteCounts(Info);
}

void TJsonReport::WriteCounts(const TFileInfo& Info)
{
    std::fprintf(FOut, ",\"data_frames\":%llu,\"duration_s\":%.6f,\"blocks\":%llu,\"truncated\":%s",
                 static_cast<unsigned long long>(Info.DataFrames), static_cast<double>(Info.DataFrames) / Info.SampleRate,
                 static_cast<unsigned long long>(Info.Blocks), Info.CutShort ? "true" : "false");
}

void TJsonReport::Block(double StartSeconds, const TBlockLevels& Levels)
{
    if (!FBlocksOpen) {
        std::fprintf(FOut, ",\"block_levels\":[");
        FBlocksOpen = true;
    }
    std::fprintf(FOut, "%s\n{\"time_s\":%.6f,\"left_db\":%s,\"right_db\":%s}", FBlocks++ > 0 ? "," : "", StartSeconds,
                 ShortestText(Levels.LeftdB).c_str(), ShortestText(Levels.RightdB).c_str());
}

void TJsonReport::CloseBlocks()
{
    if (FBlocksOpen)
        std::fprintf(FOut, "]");
    FBlocksOpen = false;
}

void TJsonReport::EndFile(const TFileInfo& Info, const TFileSummary& Summary)
{
    CloseBlocks();
    if (Info.CountedAtEnd)
        WriteCounts(Info);
    if (Info.Blocks > 0) {
        WriteChannel("left", Summary.Left, Summary.LeftOffsetEstimate);
        WriteChannel("right", Summary.Right, Summary.RightOffsetEstimate);
        std::fprintf(FOut, ",\"left_minus_right_db\":%.2f",
                     Summary.Left.Percentile90dB() - Summary.Right.Percentile90dB());
        WriteMarks(Summary);
    }
    std::fprintf(FOut, "}");
}

void TJsonReport::WriteChannel(const char* Name, const TChannelSummary& Channel, int32_t OffsetEstimate)
{
    std::fprintf(FOut, ",\"%s\":{\"max_db\":%s,\"median_db\":%.2f,\"p90_db\":%.2f,\"sample_peak_dbfs\":%.4f,"
                       "\"clipped_blocks\":%llu",
                 Name, ShortestText(Channel.MaxdB()).c_str(), Channel.MediandB(), Channel.Percentile90dB(),
                 Channel.SamplePeakdBFS(), static_cast<unsigned long long>(Channel.ClippedBlocks()));
    if (Channel.ClippedBlocks() > 0)
        std::fprintf(FOut, ",\"first_clip_s\":%.6f,\"last_clip_s\":%.6f", Channel.FirstClipSeconds(),
                     Channel.LastClipSeconds());
    std::fprintf(FOut, ",\"dc_offset_estimate\":%d}", OffsetEstimate);
}

void TJsonReport::WriteMarks(const TFileSummary& Summary)
{
    std::fprintf(FOut, ",\"marks\":[");
    const char* separator = "";
    for (const TMark& mark : Marks) {
        std::fprintf(FOut, "%s{\"name\":%s,\"level_db\":%.1f", separator, JsonString(mark.Name).c_str(),
                     -mark.BelowFullScaledB);
        for (const auto& [name, channel] : {std::pair{"left", &Summary.Left}, std::pair{"right", &Summary.Right}}) {
            const TAdvice advice = AdviseFor(channel->Percentile90dB(), mark);
            std::fprintf(FOut, ",\"%s\":{\"advice\":\"%s\",\"by_db\":%.1f,\"text\":%s}", name, advice.KindName(),
                         advice.BydB, JsonString(advice.Text()).c_str());
        }
        std::fprintf(FOut, "}");
        separator = ",";
    }
    std::fprintf(FOut, "]");
}

void TJsonReport::FileError(const std::string& FileName, const std::string& Message, bool Started)
{
    if (Started) {
        CloseBlocks();
    } else {
        NextFile();
        std::fprintf(FOut, "{\"file\":%s", JsonString(FileName).c_str());
    }
    std::fprintf(FOut, ",\"error\":%s}", JsonString(Message).c_str());
}

void TJsonReport::Finish()
{
    std::fprintf(FOut, "\n]}\n");
}

} // namespace measure
