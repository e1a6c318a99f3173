#include "report/figurerows.h"

#include "report/wavstreamreader.h"

#include <cstdio>

namespace measure {

namespace {

constexpr size_t FigureChars = 32;   // a figure's text, at most
constexpr size_t HeadingChars = 256; // the heading line, at most

const char* MeasureName(bool PeakLevel)
{
    return PeakLevel ? "peak" : "RMS";
}

std::string Decibels(double Value)
{
    char text[FigureChars];
    std::snprintf(text, sizeof text, "%.2f", Value);
    return text;
}

std::string ClipTime(const TChannelSummary& Channel, double Seconds)
{
    if (Channel.ClippedBlocks() == 0)
        return "-";
    char text[FigureChars];
    std::snprintf(text, sizeof text, "%.2f s", Seconds);
    return text;
}

} // namespace

std::string FileHeading(const TFileInfo& Info)
{
    const double rate = Info.SampleRate;
    const double tailSeconds = static_cast<double>(Info.DataFrames - Info.Blocks * TWavStreamReader::BlockFrames) / rate;
    char text[HeadingChars];
    int length = std::snprintf(text, sizeof text, "duration %.2f s, %u Hz, %u channel%s, %llu blocks of %zu frames, %s measure",
                               static_cast<double>(Info.DataFrames) / rate, Info.SampleRate, Info.Channels,
                               Info.Channels == 1 ? "" : "s", static_cast<unsigned long long>(Info.Blocks),
                               TWavStreamReader::BlockFrames, MeasureName(Info.PeakLevel));
    if (tailSeconds > 0 && length > 0 && static_cast<size_t>(length) < sizeof text)
        std::snprintf(text + length, sizeof text - static_cast<size_t>(length), " (last %.3f s not measured)",
                      tailSeconds);
    return text;
}

std::vector<TFigureRow> LevelRows(const TFileSummary& Summary)
{
    const TChannelSummary& l = Summary.Left;
    const TChannelSummary& r = Summary.Right;
    return {
        {"max level dB", Decibels(l.MaxdB()), Decibels(r.MaxdB())},
        {"median level dB", Decibels(l.MediandB()), Decibels(r.MediandB())},
        {"90th percentile dB", Decibels(l.Percentile90dB()), Decibels(r.Percentile90dB())},
        {"sample peak dBFS", Decibels(l.SamplePeakdBFS()), Decibels(r.SamplePeakdBFS())},
        {"DC offset estimate", std::to_string(Summary.LeftOffsetEstimate), std::to_string(Summary.RightOffsetEstimate)},
    };
}

std::vector<TFigureRow> ClipRows(const TFileSummary& Summary)
{
    const TChannelSummary& l = Summary.Left;
    const TChannelSummary& r = Summary.Right;
    std::vector<TFigureRow> rows{{"clipped blocks", std::to_string(l.ClippedBlocks()), std::to_string(r.ClippedBlocks())}};
    if (l.ClippedBlocks() + r.ClippedBlocks() == 0)
        return rows;
    rows.push_back({"first clip", ClipTime(l, l.FirstClipSeconds()), ClipTime(r, r.FirstClipSeconds()), true});
    rows.push_back({"last clip", ClipTime(l, l.LastClipSeconds()), ClipTime(r, r.LastClipSeconds()), true});
    return rows;
}

} // namespace measure
