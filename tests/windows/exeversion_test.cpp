// quimbrel-measure.exe's version resource as the program reads it on
// Windows: the system finds the block in the .exe (GetFileVersionInfo) and
// the queries hand out the values of resources/version.txt, as UTF-8.

#include "platform/verres/ownversion.h"
#include "platform/verres/winver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const char* const Table = "\\StringFileInfo\\080904E4\\";

class ExeVersionTest : public testing::Test {
protected:
    void SetUp() override
    {
        uint32_t handle = 1;
        const uint32_t size = GetFileVersionInfoSize(QUIMBREL_MEASURE_EXE, &handle);
        ASSERT_GT(size, 0u) << QUIMBREL_MEASURE_EXE;
        EXPECT_EQ(handle, 0u);
        FData.assign((size + 3) / 4, 0);
        ASSERT_TRUE(GetFileVersionInfo(QUIMBREL_MEASURE_EXE, 0, size, FData.data()));
    }

    std::string Value(const std::string& Key)
    {
        void* value = nullptr;
        uint32_t length = 0;
        if (!VerQueryValue(FData.data(), Table + Key, &value, &length))
            return "<not found>";
        EXPECT_EQ(length, std::strlen(static_cast<const char*>(value)) + 1) << Key;
        return static_cast<const char*>(value);
    }

    std::vector<uint32_t> FData;  // 4-byte aligned, as GetFileVersionInfo wants
};

TEST_F(ExeVersionTest, StringsAreThoseOfTheVersionSource)
{
    EXPECT_EQ(Value("FileVersion"), QUIMBREL_VERSION);
    EXPECT_EQ(Value("ProductVersion"), QUIMBREL_VERSION);
    EXPECT_EQ(Value("CompanyName"), "Tamsvik");
    EXPECT_EQ(Value("ProductName"), "Quimbrel");
    EXPECT_EQ(Value("LegalCopyright"), "Copyright \xC2\xA9 Tamsvik");  // UTF-8, not the ANSI code page
    EXPECT_EQ(Value("Web site"), "www.tamsvik.example");
    EXPECT_EQ(Value("NoSuchKey"), "<not found>");
}

TEST_F(ExeVersionTest, FixedRecordAndTranslationAreThoseOfTheVersionSource)
{
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed.dwFileVersionMS, (QUIMBREL_VERSION_MAJOR << 16) | QUIMBREL_VERSION_MINOR);
    EXPECT_EQ(fixed.dwFileVersionLS, (QUIMBREL_VERSION_PATCH << 16) | QUIMBREL_VERSION_TWEAK);
    EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
    EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
    EXPECT_EQ(fixed.dwFileType, VFT_APP);
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const auto* pair = static_cast<const uint16_t*>(value);
    EXPECT_EQ(pair[0], 0x0809);
    EXPECT_EQ(pair[1], 0x04E4);
}

TEST(ExeVersion, FilesWithoutAResourceGiveNothing)
{
    // This test program has no version resource; a missing file none either.
    for (const std::string& file : {OwnProgramFile(), std::string("no-such-program.exe")}) {
        uint32_t handle = 1;
        EXPECT_EQ(GetFileVersionInfoSize(file, &handle), 0u) << file;
        EXPECT_EQ(handle, 0u);
        std::vector<uint32_t> data(64, 0xFFFFFFFF);
        EXPECT_FALSE(GetFileVersionInfo(file, 0, 256, data.data())) << file;
        EXPECT_EQ(data, std::vector<uint32_t>(64, 0)) << "a failed read leaves the buffer zero-filled";
    }
    EXPECT_NE(OwnProgramFile().find("windows_exeversion_test.exe"), std::string::npos) << OwnProgramFile();
    EXPECT_EQ(OwnFileVersion(), "");
}

} // namespace
