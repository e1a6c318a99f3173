// TWaveIn::ProcessFile on files written by sox, with sox as the independent
// reader of the samples they hold.

#include "support/filefeedfixture.h"
#include "support/riffbuilder.h"
#include "support/soxstats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

struct TSoxCase {
    const char* Name;
    std::vector<std::string> Format; // sox output options
    TOutcome Outcome;
    bool IgnoreRate = false;
};

void PrintTo(const TSoxCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class ProcessFileSox : public TFileFeedFixture, public ::testing::WithParamInterface<TSoxCase> {};

bool HaveSox()
{
    int status = 0;
    RunCommand("command -v sox", status);
    return status == 0;
}

} // namespace

// sox writes the file and, as an independent reader, the samples it holds.
TEST_P(ProcessFileSox, MatchesWhatSoxReads)
{
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed";
    const TSoxCase& c = GetParam();
    constexpr int32_t Block = 4410;
    WaveIn->SetBufferSamples(Block); // closes and reopens the live input
    ASSERT_TRUE(PumpUntil([&] { return Opens == 2; }));
    Log.clear();
    WaveIn->SetIgnoreFileSampleRate(c.IgnoreRate);
    const std::string wav = riffbuilder::ScratchPath(std::string(c.Name) + ".wav");
    const std::string raw = riffbuilder::ScratchPath(std::string(c.Name) + ".raw");
    std::vector<std::string> make{"-n"};
    make.insert(make.end(), c.Format.begin(), c.Format.end());
    make.insert(make.end(), {wav, "synth", "0.35", "sine", "440", "sine", "1000", "vol", "0.8"});
    RunSox(make);
    WaveIn->ProcessFile(wav);
    PumpFor(QuietRounds);
    if (c.Outcome == ocRejected) {
        ExpectUntouched();
        EXPECT_EQ(Shown, std::vector<std::string>{WrongFormat + " | " + wav + " | 0"});
        return;
    }
    // sox widens mono by copying the channel, as the program does.
    RunSox({wav, "-t", "raw", "-e", "signed-integer", "-b", "16", "-c", "2", raw});
    const std::string bytes = riffbuilder::ReadFile(raw);
    const size_t frames = bytes.size() / 4;
    const size_t blocks = frames / Block;
    EXPECT_EQ(WaveIn->BufferCount(), static_cast<int32_t>(blocks));
    std::vector<int16_t> expected(blocks * Block * 2);
    std::memcpy(expected.data(), bytes.data(), expected.size() * 2);
    EXPECT_EQ(Fed, expected);
    EXPECT_FALSE(WaveIn->Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    SoxFiles, ProcessFileSox,
    ::testing::Values(TSoxCase{"Stereo16", {"-r", "44100", "-c", "2", "-b", "16"}, ocFed},
                      TSoxCase{"Mono16", {"-r", "44100", "-c", "1", "-b", "16"}, ocFed},
                      TSoxCase{"Stereo8", {"-r", "44100", "-c", "2", "-b", "8"}, ocRejected},
                      TSoxCase{"Float32", {"-r", "44100", "-c", "2", "-e", "floating-point", "-b", "32"}, ocRejected},
                      TSoxCase{"Rate48000", {"-r", "48000", "-c", "2", "-b", "16"}, ocRejected},
                      TSoxCase{"Rate48000Ignored", {"-r", "48000", "-c", "2", "-b", "16"}, ocFed, true}),
    [](const ::testing::TestParamInfo<TSoxCase>& Info) { return std::string(Info.param.Name); });
