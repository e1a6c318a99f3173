#include "support/versionfiles.h"

#include "platform/verres/winver.h"
#include "support/elfimage.h"
#include "support/resfile.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace versiontest {

namespace {

// A few bytes of code, so the version section is not the file's only section.
const std::vector<uint8_t> SomeCode = {0x90, 0x90, 0xC3};

} // namespace

std::string ProjectVersionText(const std::string& SourceDir)
{
    std::ifstream in(SourceDir + "/CMakeLists.txt");
    std::stringstream source;
    source << in.rdbuf();
    const std::string text = source.str();
    std::smatch match;
    if (!std::regex_search(text, match, std::regex(R"(project\(quimbrel\s+VERSION\s+([0-9.]+))")))
        return std::string();
    return match[1];
}

std::string WriteVersionElf(const std::string& Dir, const std::string& Name, const std::vector<uint8_t>& Block)
{
    const std::string path = Dir + "/" + Name;
    WriteBinaryFile(path, BuildElf({{".text", SomeCode}, {VersionInfoSectionName, Block}}));
    return path;
}

std::string WriteResourceElf(const std::string& Dir, const std::string& Name, const TVersionResource& Resource)
{
    return WriteVersionElf(Dir, Name, TVersionBlockWriter::Build(Resource));
}

std::string WritePlainElf(const std::string& Dir, const std::string& Name)
{
    const std::string path = Dir + "/" + Name;
    WriteBinaryFile(path, BuildElf({{".text", SomeCode}}));
    return path;
}

} // namespace versiontest
