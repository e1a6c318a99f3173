// The parts of the report: percentiles, mark advice, the command line, the
// progress bar's text, JSON strings and the shortest float text.

#include "report/channelsummary.h"
#include "tools/measure/commandline.h"
#include "report/floattext.h"
#include "report/jsonreport.h"
#include "report/levelhistogram.h"
#include "report/markadvice.h"
#include "tools/measure/progressbar.h"
#include "tools/measure/terminal.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace measure;

TEST(LevelHistogram, PercentilesByNearestRank)
{
    TLevelHistogram levels;
    for (int i = 1; i <= 10; ++i)
        levels.Add(static_cast<float>(-i)); // -1 .. -10 dB
    EXPECT_EQ(levels.Count(), 10u);
    EXPECT_DOUBLE_EQ(levels.Percentile(0.5), -6.0);
    EXPECT_DOUBLE_EQ(levels.Percentile(0.9), -2.0);
    EXPECT_DOUBLE_EQ(levels.Percentile(1.0), -1.0);
    EXPECT_DOUBLE_EQ(levels.Percentile(0.01), -10.0);
}

TEST(LevelHistogram, HundredthsOfADecibelAndClampedEnds)
{
    TLevelHistogram levels;
    levels.Add(-3.014f);
    EXPECT_DOUBLE_EQ(levels.Percentile(0.5), -3.01);
    TLevelHistogram extremes;
    extremes.Add(-400.0f);
    extremes.Add(50.0f);
    EXPECT_DOUBLE_EQ(extremes.Percentile(0.5), -200.0);
    EXPECT_DOUBLE_EQ(extremes.Percentile(1.0), 10.0);
    EXPECT_DOUBLE_EQ(TLevelHistogram().Percentile(0.5), 0.0);
}

TEST(ChannelSummary, CountsClippedBlocksWithFirstAndLast)
{
    TChannelSummary channel;
    channel.AddBlock(-10.0f, 1000, false, 0.0);
    channel.AddBlock(-1.0f, 32767, true, 0.1);
    channel.AddBlock(-20.0f, 500, false, 0.2);
    channel.AddBlock(-0.5f, 32768, true, 0.3);
    EXPECT_EQ(channel.Blocks(), 4u);
    EXPECT_EQ(channel.ClippedBlocks(), 2u);
    EXPECT_DOUBLE_EQ(channel.FirstClipSeconds(), 0.1);
    EXPECT_DOUBLE_EQ(channel.LastClipSeconds(), 0.3);
    EXPECT_EQ(channel.MaxdB(), -0.5f);
    EXPECT_DOUBLE_EQ(channel.SamplePeakdBFS(), 0.0);
}

TEST(ChannelSummary, SamplePeakRelativeTo32768)
{
    TChannelSummary channel;
    channel.AddBlock(-6.0f, 16384, false, 0.0);
    EXPECT_NEAR(channel.SamplePeakdBFS(), -6.0206, 0.0001);
}

TEST(MarkAdvice, RaiseLowerOrOk)
{
    struct Row {
        double LeveldB;
        int Mark;
        const char* Text;
    };
    const Row rows[] = {
        {-4.3, 0, "raise by 1.8 dB"},     {-2.6, 1, "lower by 0.4 dB"},    {-2.1, 1, "lower by 0.9 dB"},
        {-3.4, 1, "ok (within 0.5 dB)"},  {-12.5, 2, "ok (within 0.5 dB)"}, {-30.0, 2, "raise by 18.0 dB"},
        {0.5, 0, "lower by 3.0 dB"},      {-2.0, 0, "lower by 0.5 dB"},     {-3.1, 0, "raise by 0.6 dB"},
        {-2.46, 0, "ok (within 0.5 dB)"}, {-2.54, 0, "ok (within 0.5 dB)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AdviseFor(row.LeveldB, Marks[row.Mark]).Text(), row.Text) << row.LeveldB << " " << row.Mark;
    EXPECT_STREQ(AdviseFor(-4.3, Marks[0]).KindName(), "raise");
}

TEST(MarkAdvice, TheWindowsThreeMarks)
{
    ASSERT_EQ(std::size(Marks), 3u);
    EXPECT_STREQ(Marks[0].Name, "Resurs/Meteor");
    EXPECT_DOUBLE_EQ(Marks[0].BelowFullScaledB, 2.5);
    EXPECT_STREQ(Marks[1].Name, "NOAA");
    EXPECT_DOUBLE_EQ(Marks[1].BelowFullScaledB, 3.0);
    EXPECT_STREQ(Marks[2].Name, "Okean/SICH");
    EXPECT_DOUBLE_EQ(Marks[2].BelowFullScaledB, 12.0);
}

TEST(CommandLine, OptionsAndFiles)
{
    const TMeasureOptions options = ParseCommandLine({"--rms", "a.wav", "--json", "--blocks", "--", "-b.wav"});
    EXPECT_FALSE(options.PeakLevel);
    EXPECT_TRUE(options.Json);
    EXPECT_TRUE(options.Blocks);
    EXPECT_EQ(options.Files, (std::vector<std::string>{"a.wav", "-b.wav"}));
    EXPECT_TRUE(ParseCommandLine({"x.wav"}).PeakLevel);
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
    EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
}

TEST(CommandLine, BadUsage)
{
    EXPECT_THROW(ParseCommandLine({}), EUsageError);
    EXPECT_THROW(ParseCommandLine({"--rms"}), EUsageError);
    EXPECT_THROW(ParseCommandLine({"--loud", "a.wav"}), EUsageError);
}

TEST(ProgressBar, Text)
{
    EXPECT_EQ(TProgressBar::Text("f.wav", 0, 200), "f.wav [..............................]   0%");
    EXPECT_EQ(TProgressBar::Text("f.wav", 100, 200), "f.wav [###############...............]  50%");
    EXPECT_EQ(TProgressBar::Text("f.wav", 200, 200), "f.wav [##############################] 100%");
}

TEST(ProgressBar, DrawsOnlyWhenThePercentageChangesAndClearsAtTheEnd)
{
    const std::string written = WrittenText([](std::FILE* Out) {
        TProgressBar bar(Out, "f", 1000);
        bar.Update(1);
        bar.Update(5);
        bar.Update(10);
    });
    EXPECT_EQ(written, "\rf [..............................]   0%\rf [..............................]   1%\r\033[K");
}

TEST(JsonString, Escapes)
{
    EXPECT_EQ(JsonString("a\"b\\c\nd\x01"), "\"a\\\"b\\\\c\\u000ad\\u0001\"");
    EXPECT_EQ(JsonString("Resurs/Meteor"), "\"Resurs/Meteor\"");
}

TEST(FloatText, ShortestRoundTrip)
{
    EXPECT_EQ(ShortestText(-3.0f), "-3");
    EXPECT_EQ(ShortestText(0.1f), "0.1");
    for (float value : {-196.16049f, 3.0103f, -90.30873f, 1e-8f}) {
        EXPECT_EQ(std::strtof(ShortestText(value).c_str(), nullptr), value);
    }
}
