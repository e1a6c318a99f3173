// A recorder killed while it writes a WAV file leaves the sizes it never went
// back to fix: pw-record a RIFF size of 8, parecord sizes of 0. On the
// server that tests/system/pulseaudio-test.sh or pipewire-test.sh started,
// the server's recorder is killed after a few seconds, and quimbrel-measure
// must measure every frame the file holds, block for block as it measures the
// same samples that ffmpeg decodes into a plain file.

#include "support/measuretoolrun.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"

#include <gtest/gtest.h>

namespace {

const char* const Tool = QUIMBREL_MEASURE_TOOL;

bool Succeeds(const std::string& Command)
{
    int status = 0;
    RunCommand(Command, status);
    return status == 0;
}

} // namespace

TEST(KilledRecorder, ItsFileIsMeasuredToItsLastFrame)
{
    if (!Succeeds("command -v ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const TScratchDir dir;
    const std::string wav = dir.File("killed.wav");
    const bool pipewire = Succeeds("pw-cli info 0");
    const std::string recorder = pipewire ? "pw-record --rate 44100 --channels 2 --format s16 "
                                          : "parecord --file-format=wav --rate=44100 --channels=2 --format=s16le ";
    Succeeds("{ " + recorder + ShellQuote(wav) + " </dev/null >/dev/null 2>&1 & pid=$!; sleep 3; kill -KILL $pid; "
             "wait $pid; }");
    const std::string plain = dir.File("plain.wav");
    ASSERT_TRUE(Succeeds("ffmpeg -v error -nostdin -i " + ShellQuote(wav) + " -c:a pcm_s16le " + ShellQuote(plain)));

    const TToolRun expected = RunMeasureTool(Tool, dir, {"--blocks", plain});
    ASSERT_EQ(expected.Status, 0) << expected.Err;
    const TToolRun run = RunMeasureTool(Tool, dir, {"--blocks", wav});
    EXPECT_EQ(run.Status, 0) << run.Err;
    // parecord's client buffers: only some of its 3 s reach the file.
    EXPECT_GE(BlockRows(run.Out).size(), pipewire ? 10u : 1u) << (pipewire ? "pw-record" : "parecord");
    EXPECT_EQ(run.Out, expected.Out) << run.Err;
    // pw-record's RIFF size of 8 (its data size is 0) is not trusted, and said so.
    if (pipewire)
        EXPECT_EQ(run.Err, "quimbrel-measure: " + wav + ": the RIFF size (8 bytes) ends before the chunks in it: read to "
                                                         "the end of the file\n");
}
