#include "report/textreport.h"

#include "report/figurerows.h"
#include "report/markadvice.h"

namespace measure {

namespace {

// Width of the name column, and the indent of a detail row within it.
constexpr int NameChars = 21;
constexpr int DetailIndent = 2;

} // namespace

void TTextReport::BeginFile(const TFileInfo& Info)
{
    if (FFilesBegun++ > 0)
        std::fputc('\n', FOut);
    std::fprintf(FOut, "%s\n", Info.FileName.c_str());
}

void TTextReport::EndFile(const TFileInfo& Info, const TFileSummary& Summary)
{
    std::fprintf(FOut, "  %s\n", FileHeading(Info).c_str());
    if (Info.Blocks == 0) {
        std::fprintf(FOut, "  no full block: nothing measured\n");
        return;
    }
    std::fprintf(FOut, "                          left     right\n");
    WriteRows(LevelRows(Summary));
    std::fprintf(FOut, "  left - right dB      %+8.2f  (90th percentiles)\n",
                 Summary.Left.Percentile90dB() - Summary.Right.Percentile90dB());
    WriteRows(ClipRows(Summary));
    WriteMarks(Summary);
}

void TTextReport::WriteRows(const std::vector<TFigureRow>& Rows)
{
    for (const TFigureRow& row : Rows) {
        const int indent = row.Detail ? DetailIndent : 0;
        std::fprintf(FOut, "  %*s%-*s%8s  %8s\n", indent, "", NameChars - indent, row.Name.c_str(), row.Left.c_str(),
                     row.Right.c_str());
    }
}

void TTextReport::WriteMarks(const TFileSummary& Summary)
{
    std::fprintf(FOut, "  marks, against the 90th-percentile level:\n");
    for (const TMark& mark : Marks) {
        const std::string left = AdviseFor(Summary.Left.Percentile90dB(), mark).Text();
        const std::string right = AdviseFor(Summary.Right.Percentile90dB(), mark).Text();
        std::fprintf(FOut, "    %-14s %5.1f dB   left %-20s right %s\n", mark.Name, -mark.BelowFullScaledB,
                     left.c_str(), right.c_str());
    }
}

void TTextReport::FileError(const std::string&, const std::string& Message, bool Started)
{
    // The one-line message goes to standard error; the report only notes a file it had begun.
    if (Started)
        std::fprintf(FOut, "  not measured to the end: %s\n", Message.c_str());
}

} // namespace measure
