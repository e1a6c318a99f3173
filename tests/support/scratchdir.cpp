#include "support/scratchdir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

TScratchDir::TScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quimbrel-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    FPath = name.data();
}

TScratchDir::~TScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}
