// What quimbrel-measure is given to read: files written by the recorders and
// converters on this machine (sox, ffmpeg, sndfile-convert, arecord), a WAV
// stream on standard input, names that are not UTF-8, and what is not a
// regular file (a FIFO, a folder, a device), which is refused without
// blocking.

#include "support/alsaconfig.h"
#include "support/measuretoolrun.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"
#include "support/stereoframes.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const std::string Tool = std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild;

TToolRun RunTool(const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    return RunMeasureTool(Tool, Dir, Args);
}

bool Installed(const std::string& Program)
{
    int status = 0;
    RunCommand("command -v " + ShellQuote(Program), status);
    return status == 0;
}

// Runs a shell command that must succeed.
void Shell(const std::string& Command)
{
    int status = 0;
    const std::string output = RunCommand(Command, status);
    ASSERT_EQ(status, 0) << Command << "\n" << output;
}

// The CSV rows of quimbrel-measure --blocks File; the run must succeed with
// Warning (or nothing) on standard error.
std::string Rows(const TScratchDir& Dir, const std::string& File, const std::string& Warning = "")
{
    const TToolRun run = RunTool(Dir, {"--blocks", File});
    EXPECT_EQ(run.Status, 0) << File << ": " << run.Err;
    EXPECT_EQ(run.Err, Warning.empty() ? "" : "quimbrel-measure: " + File + ": " + Warning + "\n");
    return run.Out;
}

// "streamed" and "truncated" of the JSON report on File.
std::string StreamFlags(const TScratchDir& Dir, const std::string& File)
{
    EXPECT_EQ(RunTool(Dir, {"--json", File}).Status, 0);
    return JsonQuery(Dir.File("out.txt"), "(d['files'][0]['streamed'], d['files'][0]['truncated'])");
}

constexpr const char* Sine = "synth 2 sine 1000 sine 440 gain -4";

} // namespace

// Each tool writes a form of the same 2 s stereo signal; the rows measured
// must be those of the plain file sox writes.
TEST(MeasureToolInputs, RecordersAndConvertersFiles)
{
    if (!Installed("sox"))
        GTEST_SKIP() << "sox is not installed";
    const TScratchDir dir;
    const std::string plain = dir.File("plain.wav");
    // Without dither (-D), so that sox writes the same samples each time.
    Shell("sox -D -n -r 44100 -b 16 -c 2 " + ShellQuote(plain) + " " + Sine);
    const std::string expected = Rows(dir, plain);
    ASSERT_EQ(BlockRows(expected).size(), 20u);
    const std::string streamed = dir.File("sox-pipe.wav");
    Shell("sox -D -n -r 44100 -b 16 -c 2 -t wav - " + std::string(Sine) + " 2>/dev/null | cat > " + ShellQuote(streamed));
    EXPECT_EQ(Rows(dir, streamed), expected);
    EXPECT_EQ(StreamFlags(dir, streamed), "(True, False)");
    const std::string four = dir.File("sox-four.wav"); // WAVE_FORMAT_EXTENSIBLE
    Shell("sox -M " + ShellQuote(plain) + " " + ShellQuote(plain) + " " + ShellQuote(four));
    EXPECT_EQ(Rows(dir, four, "4 channels: channels 1 and 2 measured as left and right, 2 left out"), expected);
    if (Installed("sndfile-convert")) {
        SCOPED_TRACE("sndfile-convert");
        Shell("sndfile-convert -pcm16 " + ShellQuote(plain) + " " + ShellQuote(dir.File("s.wavex")));
        EXPECT_EQ(Rows(dir, dir.File("s.wavex")), expected);
        Shell("sndfile-convert -pcm16 " + ShellQuote(plain) + " " + ShellQuote(dir.File("s.rf64")));
        EXPECT_EQ(Rows(dir, dir.File("s.rf64")), expected);
    }
    if (Installed("ffmpeg")) {
        SCOPED_TRACE("ffmpeg");
        const std::string ffmpeg = "ffmpeg -v error -nostdin -y -i " + ShellQuote(plain) + " -c:a pcm_s16le ";
        Shell(ffmpeg + "-rf64 always " + ShellQuote(dir.File("f-rf64.wav")));
        EXPECT_EQ(Rows(dir, dir.File("f-rf64.wav")), expected);
        Shell(ffmpeg + "-f wav - | cat > " + ShellQuote(dir.File("f-pipe.wav")));
        EXPECT_EQ(Rows(dir, dir.File("f-pipe.wav")), expected);
        EXPECT_EQ(StreamFlags(dir, dir.File("f-pipe.wav")), "(True, False)");
        Shell("ffmpeg -v error -nostdin -y -i " + ShellQuote(plain) + " -c:a pcm_s24le " + ShellQuote(dir.File("f24.wav")));
        const TToolRun s24 = RunTool(dir, {dir.File("f24.wav")});
        EXPECT_EQ(s24.Status, 1);
        EXPECT_EQ(s24.Err, "quimbrel-measure: " + dir.File("f24.wav") + ": 24-bit PCM: only 16-bit PCM is measured\n");
    }
}

// arecord writing to a pipe leaves its placeholder sizes; it captures here
// from an ALSA file PCM that plays back known samples, and is stopped by the
// end of the pipe after one second.
TEST(MeasureToolInputs, ArecordToAPipe)
{
    if (!Installed("arecord"))
        GTEST_SKIP() << "arecord is not installed";
    const std::vector<int16_t> samples = stereoframes::ChangingNoise(30);
    alsaconfig::UseCaptureSamples(samples);
    const TScratchDir dir;
    const std::string recorded = dir.File("arecord.wav");
    Shell("arecord -q -D default -f cd -t wav - | head -c " + std::to_string(44 + 44100 * 4) + " > " +
          ShellQuote(recorded));
    const std::string plain = dir.File("plain.wav");
    WriteWavFile(plain, std::vector<int16_t>(samples.begin(), samples.begin() + 44100 * 2));
    EXPECT_EQ(Rows(dir, recorded), Rows(dir, plain));
    EXPECT_EQ(StreamFlags(dir, recorded), "(True, False)");
}

// sox ... -t wav - | quimbrel-measure --blocks - gives the rows of the file.
TEST(MeasureToolInputs, StandardInputGivesTheRowsOfTheFile)
{
    if (!Installed("sox"))
        GTEST_SKIP() << "sox is not installed";
    const TScratchDir dir;
    const std::string wav = dir.File("noise.wav");
    WriteWavFile(wav, stereoframes::ChangingNoise(25));
    for (const std::string measure : {"--peak", "--rms"}) {
        const std::string expected = RunTool(dir, {"--blocks", measure, wav}).Out;
        int status = 0;
        const std::string out = RunCommand("sox " + ShellQuote(wav) + " -t wav - | " + ShellQuote(Tool) + " --blocks " +
                                               measure + " - 2>&1",
                                           status);
        EXPECT_EQ(status, 0) << out;
        EXPECT_EQ(out, expected);
        EXPECT_EQ(BlockRows(out).size(), 25u);
    }
    int status = 0;
    const std::string json = dir.File("stdin.json");
    RunCommand("cat " + ShellQuote(wav) + " | " + ShellQuote(Tool) + " --json - >" + ShellQuote(json), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(JsonQuery(json, "[d['files'][0][k] for k in ('file', 'blocks', 'data_frames', 'streamed', 'truncated')]"),
              "['-', 25, 110250, False, False]");
}

// A block's row goes out when the block ends, while the stream is still open:
// the first block is sent and its row awaited before the rest is sent.
TEST(MeasureToolInputs, StandardInputRowsComeAsBlocksEnd)
{
    const TScratchDir dir;
    const std::string wav = dir.File("noise.wav");
    WriteWavFile(wav, stereoframes::ChangingNoise(4));
    const std::string script = R"(
import os, select, subprocess, sys
tool, wav = sys.argv[1], sys.argv[2]
data = open(wav, 'rb').read()
first = 44 + 4410 * 4
p = subprocess.Popen([tool, '--blocks', '-'], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
p.stdin.write(data[:first]); p.stdin.flush()
seen = b''
while seen.count(b'\n') < 2:
    # Bounded, so that a tool that holds its rows fails rather than hangs.
    if not select.select([p.stdout], [], [], 120)[0]:
        print('no row while the stream was open'); p.kill(); sys.exit(1)
    chunk = os.read(p.stdout.fileno(), 4096)
    if not chunk:
        break
    seen += chunk
print(seen.decode().splitlines()[1])
p.stdin.write(data[first:]); p.stdin.close()
rest = p.stdout.read().decode().splitlines()
print(len(rest), p.wait())
)";
    int status = 0;
    const std::string out =
        RunCommand("python3 -c " + ShellQuote(script) + " " + ShellQuote(Tool) + " " + ShellQuote(wav), status);
    EXPECT_EQ(status, 0) << out;
    const std::string file = RunTool(dir, {"--blocks", wav}).Out;
    const size_t rowStart = file.find('\n') + 1;
    const std::string firstRow = file.substr(rowStart, file.find('\n', rowStart) - rowStart);
    ASSERT_EQ(BlockRows(file).size(), 4u);
    EXPECT_EQ(out, firstRow + "\n3 0\n");
}

// A FIFO, a folder and a device are refused at once, each said for what it is.
TEST(MeasureToolInputs, OnlyRegularFilesAreOpened)
{
    const TScratchDir dir;
    const std::string fifo = dir.File("f.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string good = dir.File("good.wav");
    WriteWavFile(good, stereoframes::ChangingNoise(2));
    // No writer ever opens the FIFO: an open of it would wait for ever; the
    // timeout only ends the test should it.
    int status = 0;
    const std::string out = RunCommand("{ timeout 120 " + ShellQuote(Tool) + " " + ShellQuote(fifo) + " " +
                                           ShellQuote(dir.Path()) + " /dev/null " + ShellQuote(good) + " 2>&1 >/dev/null; }",
                                       status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "quimbrel-measure: " + fifo +
                       ": a FIFO (named pipe), not a regular file: to read a pipe, give - and send it to standard input\n"
                       "quimbrel-measure: " + dir.Path() + ": is a directory\n"
                       "quimbrel-measure: /dev/null: a character device, not a regular file\n");
}

// A name that is not UTF-8 still gives valid JSON: U+FFFD in "file", and the
// bytes in "file_bytes".
TEST(MeasureToolInputs, NamesThatAreNotUtf8)
{
    const TScratchDir dir;
    const std::string name = dir.File("p\xe9\xff.wav");
    WriteWavFile(name, stereoframes::ChangingNoise(2));
    const std::string good = dir.File("caf\xc3\xa9.wav");
    WriteWavFile(good, stereoframes::ChangingNoise(2));
    ASSERT_EQ(RunTool(dir, {"--json", name, good}).Status, 0);
    std::string hex;
    for (unsigned char c : name) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", c);
        hex += digits;
    }
    EXPECT_EQ(JsonQuery(dir.File("out.txt"), "' '.join(map(str, (ascii(d['files'][0]['file'][-7:]), d['files'][0]['file_bytes'], "
                                             "d['files'][0]['blocks'], ascii(d['files'][1]['file'][-8:]), "
                                             "'file_bytes' in d['files'][1])))"),
              "'p\\ufffd\\ufffd.wav' " + hex + " 2 'caf\\xe9.wav' False");
}
