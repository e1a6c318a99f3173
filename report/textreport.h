#pragma once
// The report for people: a few lines per file. It has no block rows; those
// come as a CSV file by themselves (TCsvReport).

#include "report/figurerows.h"
#include "report/reportwriter.h"

#include <cstdio>
#include <vector>

namespace measure {

class TTextReport : public TReportWriter {
public:
    explicit TTextReport(std::FILE* Out) : FOut(Out) {}

    void BeginFile(const TFileInfo& Info) override;
    void Block(double, const TBlockLevels&) override {}
    void EndFile(const TFileInfo& Info, const TFileSummary& Summary) override;
    void FileError(const std::string& FileName, const std::string& Message, bool Started) override;
    void Finish() override {}

private:
    // Name, then the left and right figures in columns; details indented.
    void WriteRows(const std::vector<TFigureRow>& Rows);
    void WriteMarks(const TFileSummary& Summary);

    std::FILE* FOut;          // where the report goes (standard output)
    int FFilesBegun = 0;      // files reported so far; a blank line separates them
};

} // namespace measure
