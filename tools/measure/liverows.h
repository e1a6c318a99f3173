#pragma once
// The live levels as a line per block, each written out at once so that a
// pipe, tee or a log collector sees it as it comes:
//   text:  "    0.30 s  left   -6.02 dB  right   -6.02 dB"   (then "  clipped: left right")
//   JSON:  {"time_s":0.300000,"left_db":-6.0206,"right_db":-6.0206,"left_clipped":false,"right_clipped":false}
// The JSON levels read back as exactly the values measured.

#include "tools/measure/liveview.h"

#include <cstdio>

namespace measure {

class TLiveRows : public TLiveView {
public:
    TLiveRows(std::FILE* Out, bool Json) : FOut(Out), FJson(Json) {}

    void Block(double StartSeconds, const TBlockLevels& Levels) override;
    void End() override {}

private:
    std::FILE* FOut; // standard output
    bool FJson;      // a JSON object per line instead of text
};

} // namespace measure
