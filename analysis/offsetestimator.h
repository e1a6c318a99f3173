#pragma once
// The running DC-offset estimate of each channel: an integrating loop fed with
// blocks that already have the current estimate taken off.

#include <cstddef>
#include <cstdint>

// Each block's remaining mean is the estimate's error; a fraction of it is
// added to the estimate: all of it during the first second of signal, a
// quarter up to ten seconds, a sixteenth from then on. The loop so settles
// fast at first and later ignores the slow swings of the signal itself.
class TOffsetEstimator {
public:
    // Frames seen below which the whole error is taken (1 s at 44,100 Hz).
    static constexpr int32_t FastFrames = 44100;
    // Frames seen below which a quarter of it is taken (10 s at 44,100 Hz).
    static constexpr int32_t MediumFrames = 441000;
    static constexpr int32_t FastDivisor = 1;
    static constexpr int32_t MediumDivisor = 4;
    static constexpr int32_t SlowDivisor = 16;

    // Takes one offset-corrected block of FrameCount interleaved stereo frames:
    // counts its frames, then adds each channel's mean (truncated toward zero)
    // divided by the divisor for the count so far (truncated toward zero) to
    // that channel's estimate. A block of no frames changes nothing.
    void AddBlock(const int16_t* Samples, size_t FrameCount);

    // The same step for a block whose corrected samples were summed elsewhere:
    // LeftSum and RightSum are the exact sums of its FrameCount frames.
    void AddSums(int64_t LeftSum, int64_t RightSum, size_t FrameCount);

    // The divisor for a count of frames seen: 1, 4 or 16.
    static int32_t DivisorFor(int32_t FramesSeen);

    int32_t LeftOffsetEstimate() const { return FLeftOffsetEstimate; }
    int32_t RightOffsetEstimate() const { return FRightOffsetEstimate; }
    int32_t FramesSeen() const { return FFramesSeen; }

private:
    int32_t FLeftOffsetEstimate = 0;  // left estimate, in sample units; wraps round in 32 bits
    int32_t FRightOffsetEstimate = 0; // right estimate, in sample units
    int32_t FFramesSeen = 0;          // frames of every block so far; stops at the largest int32, never wraps
};
