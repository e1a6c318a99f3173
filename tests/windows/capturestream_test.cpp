// The capture stream's error texts are winmm's own, in UTF-8 whatever the
// system's code page. ctest runs this under a German locale (see
// CMakeLists.txt), whose texts Wine has with umlauts: the ANSI call would
// give them in code page 1252, which is no UTF-8.

#include "capturestream.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>

namespace {

// Text as UTF-16 by Windows' own strict decoder; false when it is no UTF-8.
bool DecodeUtf8(const char* Text, std::wstring& Wide)
{
    const int length = static_cast<int>(std::strlen(Text));
    Wide.assign(static_cast<size_t>(length), L'\0');
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Text, length, Wide.data(), length);
    Wide.resize(static_cast<size_t>(units > 0 ? units : 0));
    return units > 0 || length == 0;
}

TEST(CaptureStreamTest, ErrorTextsAreWinmmsOwnInUtf8)
{
    int checked = 0;
    for (MMRESULT error = MMSYSERR_ERROR; error <= MMSYSERR_LASTERROR; ++error) {
        wchar_t own[MAXERRORLENGTH] = {};
        if (waveInGetErrorTextW(error, own, MAXERRORLENGTH) != MMSYSERR_NOERROR)
            continue;
        std::wstring decoded;
        ASSERT_TRUE(DecodeUtf8(TCaptureStream::ErrorText(-static_cast<int>(error)), decoded)) << "error " << error;
        EXPECT_EQ(decoded, std::wstring(own)) << "error " << error;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

} // namespace
