// Set level through winmm under Wine, where the capture endpoint's volume
// does not reach the sound server: the real setter and search, fed with the
// levels the meter would show for each 100 ms block of the real capture
// (quimbrel-measure's live input and block measurer), over a capture volume
// that hands each step on standard output, as a line of pactl's arguments
// that the check runs at once, to the PulseAudio source, in the decibel steps
// an endpoint has. The source is put at START_DB first: the search
// starts there, and a stop puts it back there. Prints the outcome and, after
// a success, the highest level over the next 8 s; exits 0 on a success.
//
//   quimbrel-levelsetting-wine INPUT SOURCE MARK START_DB [STOP_AFTER_SECONDS]
// MARK is a row of the marks table ("NOAA"); with STOP_AFTER_SECONDS the run
// is cancelled then, as the dialog's Cancel does.

#include "analysis/marks.h"
#include "levelcontrol/levelsetter.h"
#include "report/blockmeasurer.h"
#include "tools/measure/liveinput.h"
#include "tools/measure/stopsignal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The line that asks for a volume; the check runs it as pactl's command. (A
// Unix program that Wine starts runs on its own: Wine does not wait for it,
// and two volumes could pass each other.)
constexpr const char* VolumeCommand = "set-source-volume";
constexpr double StepDb = 0.5;
constexpr double ServerNorm = 65536.0;   // the server's 0 dB
constexpr double CubicDecibels = 60.0;   // 20 dB per decade, cubed
constexpr long LowestStep = -120; // -60 dB
constexpr uint32_t BlockMs = 100;
constexpr double MillisecondsPerSecond = 1000.0;
constexpr int CheckBlocks = 80;   // 8 s after the end, as an operator would read it
constexpr double FloorDb = -90.3;

// The server's source volume, both channels, in steps of StepDb up to 0 dB.
class TSourceVolume : public TCaptureVolume {
public:
    explicit TSourceVolume(std::string Source) : FSource(std::move(Source)), FValues{Max(), Max()} {}

    long Min() const override { return LowestStep; }
    long Max() const override { return 0; }
    int Channels() const override { return 2; }
    long ChannelVolume(int Channel) const override { return FValues[Channel]; }
    bool SetChannelVolume(int Channel, long Value) override
    {
        std::vector<long> values = FValues;
        values[Channel] = std::clamp(Value, Min(), Max());
        const std::string left = Decibels(values[0]), right = Decibels(values[1]);
        std::printf("%s %s %s %s\n", VolumeCommand, FSource.c_str(), left.c_str(), right.c_str());
        if (std::fflush(stdout) != 0) {
            FError = "the volume could not be handed on";
            return false;
        }
        FValues = values;
        return true;
    }
    std::string Error() const override { return FError; }
    bool HasDecibels() const override { return true; }
    double DecibelsAt(long Value) const override { return Value * StepDb; }

private:
    // The server's raw volume for a step: its volume is cubic (a leading
    // minus would make pactl's decibels relative).
    std::string Decibels(long Value) const
    {
        return std::to_string(std::lround(ServerNorm * std::pow(10.0, DecibelsAt(Value) / CubicDecibels)));
    }

    std::string FSource;
    std::vector<long> FValues;
    std::string FError;
};

// The meter's higher bar for the next block of the capture.
class TMeter {
public:
    explicit TMeter(const std::string& Input) : FInput(Input, FStop), FBlock(measure::TLiveInput::BlockFrames * 2) {}
    double Next()
    {
        if (!FInput.ReadBlock(FBlock.data()))
            return FloorDb;
        const measure::TBlockLevels levels = FMeasurer.Measure(FBlock.data(), measure::TLiveInput::BlockFrames);
        return std::max(levels.LeftdB, levels.RightdB);
    }

private:
    measure::TStopSignal FStop;
    measure::TLiveInput FInput;
    measure::TBlockMeasurer FMeasurer{true};
    std::vector<int16_t> FBlock;
};

const TMark* FindMark(const char* Name)
{
    for (const TMark& mark : Marks)
        if (std::strcmp(mark.Name, Name) == 0)
            return &mark;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const TMark* mark = argc >= 5 ? FindMark(argv[3]) : nullptr;
    if (!mark) {
        std::fprintf(stderr, "usage: quimbrel-levelsetting-wine INPUT SOURCE MARK START_DB [STOP_AFTER_SECONDS]\n");
        return 2;
    }
    const long startStep = std::lround(std::atof(argv[4]) / StepDb);
    const uint32_t stopAfterMs = argc >= 6 ? static_cast<uint32_t>(std::atof(argv[5]) * MillisecondsPerSecond) : 0;
    try {
        TMeter meter(argv[1]);
        TSourceVolume volume(argv[2]);
        if (!volume.SetVolume(startStep)) {
            std::fprintf(stderr, "quimbrel-levelsetting-wine: %s\n", volume.Error().c_str());
            return 3;
        }
        TLevelSetter setter(volume, mark->LeveldB(), mark->TolerancedB, 0);
        uint32_t now = 0;
        while (setter.Running()) {
            setter.BlockShown(meter.Next(), now += BlockMs);
            if (stopAfterMs && now >= stopAfterMs && setter.Running())
                setter.Stop("Cancelled");
        }
        double after = FloorDb;
        for (int i = 0; setter.Succeeded() && i < CheckBlocks; ++i)
            after = std::max(after, meter.Next());
        std::printf("result %s\nsucceeded %d elapsed_ms %u steps %d volume_db %.1f after_db %.2f\n", setter.Message().c_str(),
                    setter.Succeeded() ? 1 : 0, setter.Elapsed(), setter.Steps(), volume.DecibelsAt(volume.Volume()),
                    after);
        return setter.Succeeded() ? 0 : 1;
    } catch (const measure::ELiveInputError& error) {
        std::fprintf(stderr, "quimbrel-levelsetting-wine: %s\n", error.Message().c_str());
        return 3;
    }
}
