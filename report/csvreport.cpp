#include "report/csvreport.h"

#include "report/floattext.h"

namespace measure {

std::string CsvField(const std::string& Text)
{
    if (Text.find_first_of(",\"\r\n") == std::string::npos)
        return Text;
    std::string field = "\"";
    for (char c : Text) {
        if (c == '"')
            field += '"';
        field += c;
    }
    return field + "\"";
}

TCsvReport::TCsvReport(std::FILE* Out, bool NameFiles) : FOut(Out), FNameFiles(NameFiles)
{
    std::fprintf(FOut, "%stime_s,left_db,right_db\n", FNameFiles ? "file," : "");
}

void TCsvReport::BeginFile(const TFileInfo& Info)
{
    FFileField = CsvField(Info.FileName) + ",";
}

void TCsvReport::Block(double StartSeconds, const TBlockLevels& Levels)
{
    std::fprintf(FOut, "%s%.6f,%s,%s\n", FNameFiles ? FFileField.c_str() : "", StartSeconds,
                 ShortestText(Levels.LeftdB).c_str(), ShortestText(Levels.RightdB).c_str());
}

} // namespace measure
