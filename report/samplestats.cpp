#include "report/samplestats.h"

#include "report/statslanes.h"
#include "report/vectorkernels.h"

namespace measure {

TSampleStats StatsScalar(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
{
    TSampleStats stats = statslanes::EmptyStats();
    statslanes::AddSamples(stats, Samples, 0, SampleCount, Offsets);
    return stats;
}

TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets)
{
    return ActiveKernels().Stats(Samples, FrameCount * SamplesPerFrame, Offsets);
}

TSampleStats StatsOneByOne(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets)
{
    return StatsScalar(Samples, FrameCount * SamplesPerFrame, Offsets);
}

} // namespace measure
