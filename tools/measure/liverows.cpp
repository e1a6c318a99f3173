#include "tools/measure/liverows.h"

#include "report/floattext.h"

namespace measure {

namespace {

const char* JsonBool(bool Value)
{
    return Value ? "true" : "false";
}

} // namespace

void TLiveRows::Block(double StartSeconds, const TBlockLevels& Levels)
{
    if (FJson) {
        std::fprintf(FOut,
                     "{\"time_s\":%.6f,\"left_db\":%s,\"right_db\":%s,\"left_clipped\":%s,\"right_clipped\":%s}\n",
                     StartSeconds, ShortestText(Levels.LeftdB).c_str(), ShortestText(Levels.RightdB).c_str(),
                     JsonBool(Levels.LeftClipped), JsonBool(Levels.RightClipped));
    } else {
        std::fprintf(FOut, "%8.2f s  left %7.2f dB  right %7.2f dB", StartSeconds, Levels.LeftdB, Levels.RightdB);
        if (Levels.LeftClipped || Levels.RightClipped)
            std::fprintf(FOut, "  clipped:%s%s", Levels.LeftClipped ? " left" : "",
                         Levels.RightClipped ? " right" : "");
        std::fputc('\n', FOut);
    }
    std::fflush(FOut);
}

} // namespace measure
