#include "support/scratchdir.h"

#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

// Names tried before giving up; a clash with another test's folder is rare.
constexpr int NameAttempts = 100;

} // namespace

TScratchDir::TScratchDir()
{
    // A fresh name of our own, made only when nothing has it yet (as mkdtemp
    // does, on every platform's file system).
    std::random_device seed;
    std::mt19937_64 numbers(seed());
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < NameAttempts && FPath.empty(); ++attempt) {
        const std::filesystem::path name = folder / ("quimbrel-test-" + std::to_string(numbers() % 1000000000u));
        std::error_code error;
        if (std::filesystem::create_directory(name, error))
            FPath = name.string();
    }
    if (FPath.empty())
        throw std::runtime_error("cannot create a scratch folder");
}

TScratchDir::~TScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}
