#include "tools/measure/textreport.h"

#include "tools/measure/floattext.h"
#include "tools/measure/markadvice.h"
#include "tools/measure/wavstreamreader.h"

namespace measure {

namespace {

const char* MeasureName(bool PeakLevel)
{
    return PeakLevel ? "peak" : "RMS";
}

std::string ClipTime(const TChannelSummary& Channel, double Seconds)
{
    if (Channel.ClippedBlocks() == 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", Seconds);
    return text;
}

} // namespace

void TTextReport::BeginFile(const TFileInfo& Info)
{
    if (FFilesBegun++ > 0)
        std::fputc('\n', FOut);
    std::fprintf(FOut, "%s\n", Info.FileName.c_str());
    FBlockRows = false;
}

void TTextReport::Block(double StartSeconds, const TBlockLevels& Levels)
{
    if (!FBlockRows) {
        std::fprintf(FOut, "time_s,left_db,right_db\n");
        FBlockRows = true;
    }
    std::fprintf(FOut, "%.6f,%s,%s\n", StartSeconds, ShortestText(Levels.LeftdB).c_str(),
                 ShortestText(Levels.RightdB).c_str());
}

void TTextReport::EndFile(const TFileInfo& Info, const TFileSummary& Summary)
{
    const double rate = Info.SampleRate;
    const double tailSeconds = static_cast<double>(Info.DataFrames - Info.Blocks * TWavStreamReader::BlockFrames) / rate;
    std::fprintf(FOut, "  duration %.2f s, %u Hz, %u channel%s, %llu blocks of %zu frames, %s measure",
                 static_cast<double>(Info.DataFrames) / rate, Info.SampleRate, Info.Channels,
                 Info.Channels == 1 ? "" : "s", static_cast<unsigned long long>(Info.Blocks),
                 TWavStreamReader::BlockFrames, MeasureName(Info.PeakLevel));
    if (tailSeconds > 0)
        std::fprintf(FOut, " (last %.3f s not measured)", tailSeconds);
    std::fputc('\n', FOut);
    if (Info.Blocks == 0) {
        std::fprintf(FOut, "  no full block: nothing measured\n");
        return;
    }
    WriteLevels(Summary);
    WriteClips(Summary);
    WriteMarks(Summary);
}

void TTextReport::WriteLevels(const TFileSummary& Summary)
{
    const TChannelSummary& l = Summary.Left;
    const TChannelSummary& r = Summary.Right;
    std::fprintf(FOut, "                          left     right\n");
    std::fprintf(FOut, "  max level dB         %8.2f  %8.2f\n", l.MaxdB(), r.MaxdB());
    std::fprintf(FOut, "  median level dB      %8.2f  %8.2f\n", l.MediandB(), r.MediandB());
    std::fprintf(FOut, "  90th percentile dB   %8.2f  %8.2f\n", l.Percentile90dB(), r.Percentile90dB());
    std::fprintf(FOut, "  sample peak dBFS     %8.2f  %8.2f\n", l.SamplePeakdBFS(), r.SamplePeakdBFS());
    std::fprintf(FOut, "  DC offset estimate   %8d  %8d\n", Summary.LeftOffsetEstimate, Summary.RightOffsetEstimate);
    std::fprintf(FOut, "  left - right dB      %+8.2f  (90th percentiles)\n", l.Percentile90dB() - r.Percentile90dB());
}

void TTextReport::WriteClips(const TFileSummary& Summary)
{
    const TChannelSummary& l = Summary.Left;
    const TChannelSummary& r = Summary.Right;
    std::fprintf(FOut, "  clipped blocks       %8llu  %8llu\n", static_cast<unsigned long long>(l.ClippedBlocks()),
                 static_cast<unsigned long long>(r.ClippedBlocks()));
    if (l.ClippedBlocks() + r.ClippedBlocks() == 0)
        return;
    std::fprintf(FOut, "    first clip         %8s  %8s\n", ClipTime(l, l.FirstClipSeconds()).c_str(),
                 ClipTime(r, r.FirstClipSeconds()).c_str());
    std::fprintf(FOut, "    last clip          %8s  %8s\n", ClipTime(l, l.LastClipSeconds()).c_str(),
                 ClipTime(r, r.LastClipSeconds()).c_str());
}

void TTextReport::WriteMarks(const TFileSummary& Summary)
{
    std::fprintf(FOut, "  marks, against the 90th-percentile level:\n");
    for (const TMark& mark : Marks) {
        const std::string left = AdviseFor(Summary.Left.Percentile90dB(), mark).Text();
        const std::string right = AdviseFor(Summary.Right.Percentile90dB(), mark).Text();
        std::fprintf(FOut, "    %-14s %5.1f dB   left %-20s right %s\n", mark.Name, -mark.BelowFullScaledB,
                     left.c_str(), right.c_str());
    }
}

void TTextReport::FileError(const std::string&, const std::string& Message, bool Started)
{
    // The one-line message goes to standard error; the report only notes a file it had begun.
    if (Started)
        std::fprintf(FOut, "  not measured to the end: %s\n", Message.c_str());
}

} // namespace measure
