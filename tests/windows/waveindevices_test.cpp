// The names that reach a wave-input device, on the devices this system (or
// Wine) has: "default" is the wave mapper, a plain decimal number a device's
// place, any other name the first device of that name; texts that only look
// like numbers are names.

#include "platform/win32/waveindevices.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace {

// An id the lookup never leaves as it is: a refusal must not look like a find.
constexpr TWaveInDeviceId Untouched = 12345;

bool Finds(const std::string& Name, TWaveInDeviceId& Id)
{
    Id = Untouched;
    return FindWaveInDevice(Name, Id);
}

TEST(WaveInDevicesTest, DefaultIsTheWaveMapper)
{
    TWaveInDeviceId id = 0;
    ASSERT_TRUE(Finds("default", id));
    EXPECT_EQ(id, WAVE_MAPPER);
}

TEST(WaveInDevicesTest, ANumberIsADevicesPlace)
{
    const std::vector<std::string> names = WaveInDeviceNames();
    EXPECT_EQ(names.size(), waveInGetNumDevs());
    TWaveInDeviceId id = 0;
    for (TWaveInDeviceId place = 0; place < names.size(); ++place) {
        ASSERT_TRUE(Finds(std::to_string(place), id)) << place;
        EXPECT_EQ(id, place);
    }
    EXPECT_FALSE(Finds(std::to_string(names.size()), id));
    EXPECT_FALSE(Finds("99", id));
}

TEST(WaveInDevicesTest, ANameIsTheFirstDeviceOfThatName)
{
    const std::vector<std::string> names = WaveInDeviceNames();
    if (names.empty() || names.front().empty())
        GTEST_SKIP() << "no wave-input device with a name here";
    TWaveInDeviceId id = Untouched;
    ASSERT_TRUE(Finds(names.front(), id)) << names.front();
    EXPECT_EQ(id, 0u);
    if (names.size() > 1) {
        const auto first = std::find(names.begin(), names.end(), names.back()) - names.begin();
        ASSERT_TRUE(Finds(names.back(), id)) << names.back();
        EXPECT_EQ(id, static_cast<TWaveInDeviceId>(first));
    }
}

TEST(WaveInDevicesTest, TextsThatOnlyLookLikeNumbersAreNames)
{
    const std::vector<std::string> names = WaveInDeviceNames();
    TWaveInDeviceId id = 0;
    for (const std::string text : {" 1", "+1", "01", "1 ", "0x1", "", "Default"}) {
        if (std::find(names.begin(), names.end(), text) == names.end()) {
            EXPECT_FALSE(Finds(text, id)) << '"' << text << '"';
        }
    }
}

} // namespace
