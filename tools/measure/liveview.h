#pragma once
// Where a live run shows each block as it is measured: a line redrawn in
// place on a terminal (TLiveLine), or a line per block (TLiveRows).

#include "report/blockmeasurer.h"

namespace measure {

class TLiveView {
public:
    virtual ~TLiveView() = default;
    // The block that starts StartSeconds into the run has been measured.
    virtual void Block(double StartSeconds, const TBlockLevels& Levels) = 0;
    // The run is over: leaves the output where the report can follow.
    virtual void End() = 0;
};

} // namespace measure
