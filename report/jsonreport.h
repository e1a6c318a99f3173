#pragma once
// The report as one JSON document on standard output:
// {"program", "version", "measure", "files": [ per file: name ("file_bytes"
// in hexadecimal too when it is not UTF-8), format, "streamed", "truncated",
// optional "block_levels", per-channel summaries, "left_minus_right_db",
// "marks"; or "error" ]}. Written as the files are read, so block rows are
// never held; a stream's frame and block counts follow its block rows.

#include "report/reportwriter.h"

#include <cstdio>
#include <string>

namespace measure {

class TJsonReport : public TReportWriter {
public:
    TJsonReport(std::FILE* Out, const std::string& Version, bool PeakLevel);

    void BeginFile(const TFileInfo& Info) override;
    void Block(double StartSeconds, const TBlockLevels& Levels) override;
    void EndFile(const TFileInfo& Info, const TFileSummary& Summary) override;
    void FileError(const std::string& FileName, const std::string& Message, bool Started) override;
    void Finish() override;

private:
    void NextFile();
    void WriteCounts(const TFileInfo& Info);
    void CloseBlocks();
    void WriteChannel(const char* Name, const TChannelSummary& Channel, int32_t OffsetEstimate);
    void WriteMarks(const TFileSummary& Summary);

    std::FILE* FOut;            // where the document goes (standard output)
    int FFiles = 0;             // file objects begun; commas go between them
    uint64_t FBlocks = 0;       // block rows written for the current file
    bool FBlocksOpen = false;   // the current file's "block_levels" array is open
};

// Text as a JSON string literal, quotes included; a byte that is not part
// of well-formed UTF-8 becomes U+FFFD.
std::string JsonString(const std::string& Text);
// Whether Text is well-formed UTF-8.
bool IsUtf8(const std::string& Text);

} // namespace measure
