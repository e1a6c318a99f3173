#pragma once
// The block rows by themselves, as one CSV file: a heading, then a row per
// block of every file in the order read, with a first column naming the file
// when there are several. Nothing else goes to standard output with it.

#include "report/reportwriter.h"

#include <cstdio>
#include <string>

namespace measure {

class TCsvReport : public TReportWriter {
public:
    // Writes the heading at once, so that even a run that measures nothing
    // leaves a CSV file.
    TCsvReport(std::FILE* Out, bool NameFiles);

    void BeginFile(const TFileInfo& Info) override;
    void Block(double StartSeconds, const TBlockLevels& Levels) override;
    void EndFile(const TFileInfo&, const TFileSummary&) override {}
    void FileError(const std::string&, const std::string&, bool) override {}
    void Finish() override {}

private:
    std::FILE* FOut;        // where the rows go (standard output)
    bool FNameFiles;        // each row begins with the file's name
    std::string FFileField; // the current file's name as a CSV field
};

// Text as one CSV field: quoted, with its quotes doubled, when it holds a
// comma, a quote or a line break (RFC 4180).
std::string CsvField(const std::string& Text);

} // namespace measure
