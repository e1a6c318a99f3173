#include "report/filefigures.h"

#include "report/filemeasurement.h"

namespace measure {

bool TFileFigures::Measure(const std::string& FileName, bool PeakLevel)
{
    FInfo = TFileInfo();
    FSummary = TFileSummary();
    TFileMeasureOptions options;
    options.PeakLevel = PeakLevel;
    return MeasureFile(FileName, options, *this, nullptr).Measured;
}

void TFileFigures::EndFile(const TFileInfo& Info, const TFileSummary& Summary)
{
    FInfo = Info;
    FSummary = Summary;
}

} // namespace measure
