#pragma once
// A file measured as quimbrel-measure measures it, its figures kept for a
// program that shows them itself (the window's "File levels").

#include "report/reportwriter.h"

#include <string>

namespace measure {

class TFileFigures : public TReportWriter {
public:
    // Measures every full block of FileName with the peak (or RMS) measure;
    // false, with nothing kept, when the file cannot be measured.
    bool Measure(const std::string& FileName, bool PeakLevel);

    const TFileInfo& Info() const { return FInfo; }
    const TFileSummary& Summary() const { return FSummary; }

    void BeginFile(const TFileInfo& Info) override { FInfo = Info; }
    void Block(double, const TBlockLevels&) override {}
    void EndFile(const TFileInfo& Info, const TFileSummary& Summary) override;
    void FileError(const std::string&, const std::string&, bool) override {}
    void Finish() override {}

private:
    TFileInfo FInfo;       // the file's format and blocks
    TFileSummary FSummary; // what its blocks add up to
};

} // namespace measure
