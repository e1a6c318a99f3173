#pragma once
// The report for people: a few lines per file, block rows as CSV.

#include "tools/measure/reportwriter.h"

#include <cstdio>

namespace measure {

class TTextReport : public TReportWriter {
public:
    explicit TTextReport(std::FILE* Out) : FOut(Out) {}

    void BeginFile(const TFileInfo& Info) override;
    void Block(double StartSeconds, const TBlockLevels& Levels) override;
    void EndFile(const TFileInfo& Info, const TFileSummary& Summary) override;
    void FileError(const std::string& FileName, const std::string& Message, bool Started) override;
    void Finish() override {}

private:
    void WriteLevels(const TFileSummary& Summary);
    void WriteClips(const TFileSummary& Summary);
    void WriteMarks(const TFileSummary& Summary);

    std::FILE* FOut;          // where the report goes (standard output)
    bool FBlockRows = false;  // the CSV heading for block rows has been written for this file
    int FFilesBegun = 0;      // files reported so far; a blank line separates them
};

} // namespace measure
