// Cost of one level-meter paint at the main window's size (41 x 289), and the
// number of heap allocations that an ordinary paint makes.

#include "bench/offscreenbenchmarks.h"
#include "displays/levelmeter.h"
#include "platform/forms/form.h"
#include "support/allocationcounter.h"
#include "support/controlonform.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Lets the benchmark see how often the off-screen bitmap was allocated.
class TCountedMeter : public TLevelMeter {
public:
    using TLevelMeter::TLevelMeter;
    int BitmapAllocations() const { return FBitmap->Allocations() + Surface().Allocations(); }
};

// A meter as the main window holds it, shown. A decay rate of 0 keeps the
// bars where they were written: up, every paint draws bars and lines and
// restarts the delay timer; below the floor, the timer stays off.
struct TShownMeter {
    TShownMeter(float LeftdB, float RightdB)
    {
        Meter = MakeMainWindowMeter<TCountedMeter>(Form);
        Meter->SetMindB(-40);
        Meter->SetDecayRate(0);
        Meter->SetLeftdB(LeftdB);
        Meter->SetRightdB(RightdB);
        ShowAndHandle(*Form);
        Meter->PaintHandler(); // the first paint sizes the off-screen bitmap
    }
    std::unique_ptr<TForm> Form;
    TCountedMeter* Meter = nullptr;
};

void CountAllocations(benchmark::State& State, const TShownMeter& Shown, long HeapBefore, int BitmapsBefore)
{
    const double iterations = static_cast<double>(State.iterations());
    const long heapAfter = allocationcounter::Allocations.load();
    State.counters["heap_allocations_per_paint"] = static_cast<double>(heapAfter - HeapBefore) / iterations;
    State.counters["bitmap_allocations"] = Shown.Meter->BitmapAllocations() - BitmapsBefore;
}

// The program's own paint with both bars up: content, frame and the copy to
// the window's surface. Restarting the delay timer is the toolkit's timer
// registration, the one heap allocation left.
void BM_MeterPaint(benchmark::State& State)
{
    TShownMeter shown(-12.0f, -7.5f);
    const long heap = allocationcounter::Allocations.load();
    const int bitmaps = shown.Meter->BitmapAllocations();
    for (auto _ : State)
        shown.Meter->PaintHandler();
    CountAllocations(State, shown, heap, bitmaps);
}
BENCHMARK(BM_MeterPaint)->Unit(benchmark::kMicrosecond);

// The same paint with both levels below the floor: no bars, the timer stays off.
void BM_MeterPaintAtRest(benchmark::State& State)
{
    TShownMeter shown(-72.0f, -77.5f);
    const long heap = allocationcounter::Allocations.load();
    const int bitmaps = shown.Meter->BitmapAllocations();
    for (auto _ : State)
        shown.Meter->PaintHandler();
    CountAllocations(State, shown, heap, bitmaps);
}
BENCHMARK(BM_MeterPaintAtRest)->Unit(benchmark::kMicrosecond);

// The paint as the toolkit delivers it, including showing the picture.
void BM_MeterRepaintThroughToolkit(benchmark::State& State)
{
    TShownMeter shown(-12.0f, -7.5f);
    const long heap = allocationcounter::Allocations.load();
    const int bitmaps = shown.Meter->BitmapAllocations();
    for (auto _ : State)
        shown.Meter->Repaint();
    CountAllocations(State, shown, heap, bitmaps);
}
BENCHMARK(BM_MeterRepaintThroughToolkit)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
