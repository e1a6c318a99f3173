// quimbrel_rcgen: turns the resource descriptions in resources/ into sources.
//   quimbrel_rcgen version <description> <block.bin> <block.cpp>
//   quimbrel_rcgen strings <description> <table.cpp>
// Exits with 1 and a message naming the line when a description is wrong.

#include "cppemitter.h"
#include "rcdescription.h"

#include "platform/verres/winver.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

constexpr int VersionArgs = 5;
constexpr int StringArgs = 4;

std::string ReadFile(const std::string& Name)
{
    std::ifstream in(Name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + Name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& Name, const std::string& Contents)
{
    std::ofstream out(Name, std::ios::binary | std::ios::trunc);
    out << Contents;
    if (!out.flush())
        throw std::runtime_error("cannot write " + Name);
}

std::string ShortName(const std::string& Path)
{
    return std::filesystem::path(Path).filename().string();
}

void MakeVersion(const std::string& Description, const std::string& BinName, const std::string& CppName)
{
    TRcTokenizer tokens(ReadFile(Description), Description);
    const std::vector<uint8_t> block = TVersionBlockWriter::Build(TRcDescription::ParseVersion(tokens));
    WriteFile(BinName, std::string(block.begin(), block.end()));
    WriteFile(CppName, TCppEmitter::VersionSource(block, VersionInfoSectionName, ShortName(Description)));
}

void MakeStrings(const std::string& Description, const std::string& CppName)
{
    TRcTokenizer tokens(ReadFile(Description), Description);
    WriteFile(CppName, TCppEmitter::StringTableSource(TRcDescription::ParseStrings(tokens), ShortName(Description)));
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "version" && argc == VersionArgs) {
            MakeVersion(argv[2], argv[3], argv[4]);
        } else if (mode == "strings" && argc == StringArgs) {
            MakeStrings(argv[2], argv[3]);
        } else {
            std::cerr << "usage: quimbrel_rcgen version <description> <block.bin> <block.cpp>\n"
                         "       quimbrel_rcgen strings <description> <table.cpp>\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "quimbrel_rcgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
