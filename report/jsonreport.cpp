#include "report/jsonreport.h"

#include "report/floattext.h"
#include "report/markadvice.h"

namespace measure {

namespace {

constexpr unsigned char FirstPrintable = 0x20;

} // namespace

std::string JsonString(const std::string& Text)
{
    std::string out = "\"";
    for (char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < FirstPrintable) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
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
    std::fprintf(FOut, "{\"file\":%s,\"rate_hz\":%u,\"channels\":%u,\"data_frames\":%llu,\"duration_s\":%.6f,\"blocks\":%llu"
                       ",\"truncated\":%s",
                 JsonString(Info.FileName).c_str(), Info.SampleRate, Info.Channels,
                 static_cast<unsigned long long>(Info.DataFrames),
                 static_cast<double>(Info.DataFrames) / Info.SampleRate, static_cast<unsigned long long>(Info.Blocks),
                 Info.CutShort ? "true" : "false");
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
