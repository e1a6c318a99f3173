// How the dialog shows a step: the gain in dB with its sign and one decimal,
// "muted" at a muting step, and the step's place in the range where the
// control tells no decibels.

#include "levelcontrol/capturevolume.h"
#include "simulatedinput.h"

#include <gtest/gtest.h>

using namespace simulated;

namespace {

constexpr long Steps = 60;
constexpr double LowestDb = -20.0;
constexpr double StepDb = 0.5;
constexpr double MutingDb = -200.0;

// Step 0 mutes; the others climb half a decibel each from -20 dB.
double HalfDecibelSteps(long Value)
{
    return Value == 0 ? MutingDb : LowestDb + Value * StepDb;
}

} // namespace

TEST(CaptureVolumeText, DecibelsWithSignAndOneDecimal)
{
    const TVolume volume(0, Steps, {0}, HalfDecibelSteps, true);
    EXPECT_EQ(volume.Text(15), "-12.5 dB");
    EXPECT_EQ(volume.Text(46), "+3.0 dB");
    EXPECT_EQ(volume.Text(0), "muted");
}

TEST(CaptureVolumeText, PercentWithoutDecibels)
{
    const TVolume volume(0, ServerSteps, {0}, CubicGain, false);
    EXPECT_EQ(volume.Text(ServerSteps * 42 / 100), "42 %");
    EXPECT_EQ(volume.Text(0), "0 %");
}
