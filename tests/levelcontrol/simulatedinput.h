#pragma once
// A simulated capture volume and the meter that shows its input, for the
// level-setting tests: a control of one or more channels (with a decibel
// scale or without, a write that can be made to fail), and a meter that sees
// each block's volume late (the sound server's buffers), smoothed as the
// analyser smooths (three quarters old power, one quarter new, per channel),
// with a modulated source and noise. Blocks are 100 ms.

#include "levelcontrol/capturevolume.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace simulated {

inline constexpr uint32_t BlockMs = 100;
inline constexpr double FloorDb = -90.3; // the meter's level of silence

class TVolume : public TCaptureVolume {
public:
    // Gain gives each step's gain in dB; Decibels: whether the control tells it.
    TVolume(long Min, long Max, std::vector<long> Start, std::function<double(long)> Gain, bool Decibels)
        : FMin(Min), FMax(Max), FVolumes(std::move(Start)), FGain(std::move(Gain)), FDecibels(Decibels)
    {
    }

    long Min() const override { return FMin; }
    long Max() const override { return FMax; }
    int Channels() const override { return static_cast<int>(FVolumes.size()); }
    long ChannelVolume(int Channel) const override { return FVolumes[Channel]; }
    bool SetChannelVolume(int Channel, long Value) override
    {
        if (Failing) {
            FError = "No such device";
            return false;
        }
        ++Writes;
        FVolumes[Channel] = std::clamp(Value, FMin, FMax);
        return true;
    }
    std::string Error() const override { return FError; }
    bool HasDecibels() const override { return FDecibels; }
    double DecibelsAt(long Value) const override { return FGain(Value); }
    double GainDb(long Value) const { return FGain(Value); }

    bool Failing = false; // every write fails from now on
    int Writes = 0;       // channel writes that took effect

private:
    long FMin;
    long FMax;
    std::vector<long> FVolumes;
    std::function<double(long)> FGain;
    bool FDecibels;
    std::string FError;
};

// A sound server's cubic volume: 0 to 65536 for 0 to 100 %, no decibels told.
inline constexpr long ServerSteps = 65536;
inline double CubicGain(long Value)
{
    return Value <= 0 ? -200.0 : 60.0 * std::log10(double(Value) / ServerSteps);
}

// A source: its level in dB at full gain for each block, per channel.
using TSource = std::function<double(int Block, int Channel)>;

class TMeter {
public:
    TMeter(TVolume& Volume, TSource Source, int LatencyBlocks, double NoiseDb)
        : FVolume(Volume), FSource(std::move(Source)), FNoiseDb(NoiseDb), FPath(LatencyBlocks, Volume.Snapshot())
    {
    }

    // The meter's higher bar for the next block.
    double Next()
    {
        FPath.push_back(FVolume.Snapshot());
        const TVolumeSnapshot volumes = FPath.front();
        FPath.pop_front();
        FPower.resize(volumes.size(), -1.0);
        double shown = FloorDb;
        for (size_t c = 0; c < volumes.size(); ++c) {
            const double db = FSource(FBlock, static_cast<int>(c)) + FVolume.GainDb(volumes[c]) + Noise();
            const double power = db <= FloorDb ? 0.0 : std::pow(10.0, db / 10.0);
            FPower[c] = FPower[c] < 0 ? power : 0.75 * FPower[c] + 0.25 * power;
            shown = std::max(shown, FPower[c] > 0 ? std::max(FloorDb, 10.0 * std::log10(FPower[c])) : FloorDb);
        }
        ++FBlock;
        return shown;
    }

private:
    double Noise()
    {
        FState = FState * 1664525u + 1013904223u; // a fixed generator: the same noise every run
        return FNoiseDb * ((FState >> 8) / double(1u << 24) * 2.0 - 1.0);
    }

    TVolume& FVolume;
    TSource FSource;
    double FNoiseDb;
    std::deque<TVolumeSnapshot> FPath; // the volumes of the blocks on their way
    std::vector<double> FPower;        // each channel's smoothed power; < 0 before the first block
    int FBlock = 0;
    uint32_t FState = 1;
};

} // namespace simulated
