#include "fuzzscratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzzscratch {

namespace {

class TScratchFolder {
public:
    TScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quimbrel-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        FFolder = pattern;
        FFile = FFolder + "/input.wav";
    }
    ~TScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(FFolder, ignored);
    }
    const std::string& File() const { return FFile; }

private:
    std::string FFolder; // the process's own folder
    std::string FFile;   // the file inside it
};

} // namespace

const std::string& WriteInput(const uint8_t* Data, size_t Size)
{
    static TScratchFolder folder;
    std::ofstream out(folder.File(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    out.close();
    if (!out) {
        std::perror("writing the fuzz input");
        std::abort();
    }
    return folder.File();
}

} // namespace fuzzscratch
