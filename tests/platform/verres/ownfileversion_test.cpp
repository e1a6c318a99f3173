// A program's own version, read from its own file, whichever class of ELF file
// the compiler made: 64-bit on x86-64 and arm64, 32-bit on armhf (this test
// carries the program's version resource, as quimbrel does, and runs under
// qemu-arm in the armhf build).

#include "platform/verres/ownversion.h"
#include "support/versionfiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr size_t ElfClassAt = 4; // e_ident[EI_CLASS]
constexpr int Elf32 = 1;
constexpr int Elf64 = 2;

int OwnElfClass()
{
    std::ifstream self("/proc/self/exe", std::ios::binary);
    char ident[ElfClassAt + 1] = {};
    self.read(ident, sizeof ident);
    return self ? ident[ElfClassAt] : 0;
}

} // namespace

TEST(OwnFileVersion, IsTheProjectsVersionInEitherClassOfElfFile)
{
    const int expectedClass = sizeof(void*) == 4 ? Elf32 : Elf64;
    ASSERT_EQ(OwnElfClass(), expectedClass) << "the compiler's own class of ELF file";
    const std::string version = versiontest::ProjectVersionText(QUIMBREL_SOURCE_DIR);
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(OwnFileVersion(), version);
}
