// quimbrel-measure over the WAV forms that recorders and converters write:
// lying and placeholder RIFF sizes, more than two channels,
// WAVE_FORMAT_EXTENSIBLE, RF64, odd chunks, data not last. Each file is built
// here from the same stereo samples; what is measured must be exactly the
// frames present, with the block levels of a plain stereo file of them, read
// from the file and from a pipe alike.

#include "support/measuretoolrun.h"
#include "support/riffbuilder.h"
#include "support/soxstats.h"
#include "support/stereoframes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace riffbuilder;

namespace {

constexpr size_t BlockFrames = 4410;
constexpr size_t FileFrames = 5 * BlockFrames + 123; // five blocks and a tail
constexpr uint32_t Rate = 44100;
constexpr uint16_t PcmTag = 1;
constexpr size_t HeaderBytes = 44; // RIFF header, 16-byte "fmt " chunk, "data" header

// The stereo samples every file holds in its channels 1 and 2.
const std::vector<int16_t>& Stereo()
{
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> all = stereoframes::ChangingNoise(6);
        all.resize(FileFrames * 2);
        return all;
    }();
    return samples;
}

// Stereo() with Channels channels a frame; channels from 3 on hold loud other samples.
std::string Interleaved(uint16_t Channels)
{
    std::vector<int16_t> values;
    for (size_t f = 0; f < FileFrames; ++f) {
        values.push_back(Stereo()[2 * f]);
        if (Channels > 1)
            values.push_back(Stereo()[2 * f + 1]);
        for (uint16_t c = 2; c < Channels; ++c)
            values.push_back(static_cast<int16_t>(f % 2 == 0 ? 32767 : -32768));
    }
    return Samples(values);
}

std::string ExtensibleFmt(uint16_t Channels, uint16_t Bits, uint16_t ValidBits)
{
    const std::string guidTail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    const uint16_t blockAlign = static_cast<uint16_t>(Channels * Bits / 8);
    return Chunk("fmt ", Le16(0xFFFE) + Le16(Channels) + Le32(Rate) + Le32(Rate * blockAlign) + Le16(blockAlign) +
                             Le16(Bits) + Le16(22) + Le16(ValidBits) + Le32(0) + Le16(PcmTag) + guidTail);
}

// "RIFF" (or another start), a declared size, "WAVE" and Body.
std::string Wave(const std::string& Body, uint32_t RiffSize, const char* Start = "RIFF")
{
    return std::string(Start) + Le32(RiffSize) + "WAVE" + Body;
}

std::string Wave(const std::string& Body)
{
    return Wave(Body, static_cast<uint32_t>(Body.size() + 4));
}

std::string Stereo16()
{
    return FmtChunk(PcmTag, 2, Rate, 16);
}

std::string Data()
{
    return Chunk("data", Interleaved(2));
}

// Stereo with both sizes set as a streaming recorder leaves them.
std::string Streamed(uint32_t RiffSize, uint32_t DataSize)
{
    return Wave(Stereo16() + ChunkDeclaring("data", DataSize, Interleaved(2)), RiffSize);
}

std::string Rf64(const std::string& AfterData)
{
    const std::string data = Interleaved(2);
    const std::string rest = Stereo16() + ChunkDeclaring("data", 0xFFFFFFFF, data) + AfterData;
    const uint64_t riff = 4 + 36 + rest.size();
    const std::string ds64 = Chunk("ds64", Le32(static_cast<uint32_t>(riff)) + Le32(0) + Le32(static_cast<uint32_t>(data.size())) +
                                               Le32(0) + Le32(FileFrames) + Le32(0) + Le32(0));
    return Wave(ds64 + rest, 0xFFFFFFFF, "RF64");
}

struct FormCase {
    const char* Name;
    std::function<std::string()> Bytes;
    int Status = 0;          // exit status
    size_t Frames = FileFrames; // frames measured (after mono widening)
    bool Streamed = false;   // "streamed" in the JSON
    bool Truncated = false;  // "truncated" in the JSON
    const char* Message = ""; // a line on standard error, after the name; "" for none
};

class WavForms : public testing::TestWithParam<FormCase> {};

std::string Quoted(const std::string& Path)
{
    return ShellQuote(Path);
}

// quimbrel-measure --json --blocks on the file, or on it through a pipe.
TToolRun Measure(const TScratchDir& Dir, const std::string& Wav, bool Piped)
{
    const std::string tool = ShellQuote(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild);
    const std::string command = Piped ? "cat " + Quoted(Wav) + " | " + tool + " --json --blocks -"
                                      : tool + " --json --blocks " + Quoted(Wav);
    TToolRun run;
    RunCommand("{ " + command + " >" + Quoted(Dir.File("out.txt")) + " 2>" + Quoted(Dir.File("err.txt")) + "; }",
               run.Status);
    run.Out = ReadText(Dir.File("out.txt"));
    run.Err = ReadText(Dir.File("err.txt"));
    return run;
}

// The block levels, as python3 prints them; f is the first file.
const std::string Levels = "[(b['left_db'], b['right_db']) for b in f.get('block_levels', [])]";

} // namespace

TEST_P(WavForms, MeasuresExactlyTheFramesPresent)
{
    const FormCase& c = GetParam();
    const TScratchDir dir;
    std::string plain;
    if (c.Status == 0) {
        const std::vector<int16_t> present(Stereo().begin(), Stereo().begin() + static_cast<long>(c.Frames * 2));
        WriteFile(dir.File("plain.wav"), WavFile(2, Rate, present));
        ASSERT_EQ(Measure(dir, dir.File("plain.wav"), false).Status, 0);
        plain = JsonQuery(dir.File("out.txt"), "(lambda f: " + Levels + ")(d['files'][0])");
    }
    const std::string wav = dir.File("form.wav");
    WriteFile(wav, c.Bytes());
    for (bool piped : {false, true}) {
        SCOPED_TRACE(piped ? "piped" : "file");
        const TToolRun run = Measure(dir, wav, piped);
        EXPECT_EQ(run.Status, c.Status) << run.Err;
        const std::string name = piped ? "-" : wav;
        if (!piped || c.Status != 0)
            EXPECT_EQ(run.Err, *c.Message ? "quimbrel-measure: " + name + ": " + c.Message + "\n" : "");
        // One python3 run a measurement: the figures side by side.
        const std::string json = dir.File("out.txt");
        if (c.Status != 0) {
            EXPECT_EQ(JsonQuery(json, "d['files'][0]['error']"), c.Message);
            continue;
        }
        const auto flag = [](bool Value) { return std::string(Value ? "True" : "False"); };
        EXPECT_EQ(JsonQuery(json, "(lambda f: (f['data_frames'], f['blocks'], f['streamed'], f['truncated'], f['measured_channels'], " +
                                      Levels + "))(d['files'][0])"),
                  "(" + std::to_string(c.Frames) + ", " + std::to_string(c.Frames / BlockFrames) + ", " + flag(c.Streamed) +
                      ", " + flag(c.Truncated) + ", [1, 2], " + plain + ")");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, WavForms,
    testing::Values(
        FormCase{"Plain", [] { return Wave(Stereo16() + Data()); }},
        FormCase{"RiffSize8", [] { return Wave(Stereo16() + Data(), 8); }, 0, FileFrames, false, false,
                 "the RIFF size (8 bytes) ends before the chunks in it: read to the end of the file"},
        FormCase{"RiffSize0", [] { return Wave(Stereo16() + Data(), 0); }},
        FormCase{"RiffSizeFFFFFFFF", [] { return Wave(Stereo16() + Data(), 0xFFFFFFFF); }},
        FormCase{"RiffSizeBeyondTheFile", [] { return Wave(Stereo16() + Data(), 1000000); }, 0, FileFrames, false,
                 false, "the RIFF size (1000000 bytes) is larger than the file (88736 bytes): read to the end of the file"},
        FormCase{"Placeholders0", [] { return Streamed(0, 0); }, 0, FileFrames, true},
        FormCase{"PlaceholdersFFFFFFFF", [] { return Streamed(0xFFFFFFFF, 0xFFFFFFFF); }, 0, FileFrames, true},
        FormCase{"Placeholders7FFFFFFF", [] { return Streamed(0x7FFFFFFF, 0x7FFFFFFF); }, 0, FileFrames, true},
        FormCase{"PlaceholdersArecord", [] { return Streamed(0x80000024, 0x80000000); }, 0, FileFrames, true},
        FormCase{"PlaceholdersSox", [] { return Streamed(0x7FFFF024, 0x7FFFF000); }, 0, FileFrames, true},
        FormCase{"KilledPwRecord", [] { return Streamed(8, 0); }, 0, FileFrames, true, false,
                 "the RIFF size (8 bytes) ends before the chunks in it: read to the end of the file"},
        FormCase{"PlaceholdersCutMidFrame", [] { auto b = Streamed(0, 0); return b.substr(0, b.size() - 3); }, 0,
                 FileFrames - 1, true},
        FormCase{"ThreeChannels", [] { return Wave(FmtChunk(PcmTag, 3, Rate, 16) + Chunk("data", Interleaved(3))); },
                 0, FileFrames, false, false, "3 channels: channels 1 and 2 measured as left and right, 1 left out"},
        FormCase{"FourChannels", [] { return Wave(FmtChunk(PcmTag, 4, Rate, 16) + Chunk("data", Interleaved(4))); },
                 0, FileFrames, false, false, "4 channels: channels 1 and 2 measured as left and right, 2 left out"},
        FormCase{"Extensible16", [] { return Wave(ExtensibleFmt(2, 16, 16) + Data()); }},
        FormCase{"Extensible16FourChannels",
                 [] { return Wave(ExtensibleFmt(4, 16, 16) + Chunk("fact", Le32(FileFrames)) + Chunk("data", Interleaved(4))); },
                 0, FileFrames, false, false, "4 channels: channels 1 and 2 measured as left and right, 2 left out"},
        FormCase{"Extensible24", [] { return Wave(ExtensibleFmt(2, 24, 24) + Data()); }, 1, 0, false, false,
                 "24-bit PCM: only 16-bit PCM is measured"},
        FormCase{"Extensible16With12ValidBits", [] { return Wave(ExtensibleFmt(2, 16, 12) + Data()); }, 1, 0, false,
                 false, "16-bit PCM with 12 valid bits: only 16-bit PCM is measured"},
        FormCase{"Float32", [] { return Wave(FmtChunk(3, 2, Rate, 32) + Data()); }, 1, 0, false, false,
                 "32-bit float: only 16-bit PCM is measured"},
        FormCase{"Rf64", [] { return Rf64(""); }},
        FormCase{"Rf64DataNotLast", [] { return Rf64(Chunk("LIST", std::string(301, 'x'))); }},
        FormCase{"OddChunksBeforeData",
                 [] { return Wave(Chunk("junk", "odd") + Stereo16() + Chunk("LIST", std::string(7, 'y')) + Data()); }},
        FormCase{"DataNotLast", [] { return Wave(Stereo16() + Data() + Chunk("LIST", std::string(1001, 'z'))); }},
        FormCase{"CutShort", [] { return Wave(Stereo16() + Data()).substr(0, HeaderBytes + 4 * (3 * BlockFrames + 7)); },
                 0, 3 * BlockFrames + 7, false, true, "data chunk cut short: measured 3 of 5 blocks"},
        FormCase{"ShorterThanABlock", [] { return Wave(Stereo16() + Data()).substr(0, HeaderBytes + 4 * 100); }, 1, 0,
                 false, false, "shorter than one 100 ms block (4410 frames): 100 frames"},
        FormCase{"CutBeforeData", [] { return Wave(Stereo16() + Data()).substr(0, 40); }, 1, 0, false, false,
                 "cut short before its \"data\" chunk: shorter than one 100 ms block"},
        FormCase{"Wave64", [] { return std::string("riff\x2E\x91\xCF\x11\xA5\xD6\x11\xD1\x8A\xCE\x00\xA0\xC9\x0E\x00\x00", 20); },
                 1, 0, false, false, "Wave64 files are not read; convert with sox or ffmpeg"}),
    [](const testing::TestParamInfo<FormCase>& Info) { return std::string(Info.param.Name); });
