#include "lamppicture.h"
#include "platform/graphics/bitmap.h"
#include "platform/kernel/resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

uint32_t Read32(const std::vector<uint8_t>& Data, size_t At)
{
    return Data[At] | (Data[At + 1] << 8) | (Data[At + 2] << 16) | (static_cast<uint32_t>(Data[At + 3]) << 24);
}
uint16_t Read16(const std::vector<uint8_t>& Data, size_t At)
{
    return static_cast<uint16_t>(Data[At] | (Data[At + 1] << 8));
}

// The standard 16-colour palette as blue, green, red, as a BMP stores it.
const uint8_t StandardPalette[16][3] = {
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x80}, {0x00, 0x80, 0x00}, {0x00, 0x80, 0x80},
    {0x80, 0x00, 0x00}, {0x80, 0x00, 0x80}, {0x80, 0x80, 0x00}, {0x80, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0}, {0x00, 0x00, 0xFF}, {0x00, 0xFF, 0x00}, {0x00, 0xFF, 0xFF},
    {0xFF, 0x00, 0x00}, {0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0x00}, {0xFF, 0xFF, 0xFF},
};

TEST(LampResourceTest, EmbeddedFileIsA4BitBitmapWithTheStandardPalette)
{
    std::vector<uint8_t> file;
    ASSERT_TRUE(ReadResource("bitmaps/TLED.bmp", file));
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Read32(file, 2), file.size());
    const uint32_t pixelOffset = Read32(file, 10);
    const uint32_t infoSize = Read32(file, 14);
    EXPECT_EQ(infoSize, 40u);
    EXPECT_EQ(static_cast<int32_t>(Read32(file, 18)), LampPictureSize);
    EXPECT_EQ(static_cast<int32_t>(Read32(file, 22)), LampPictureSize) << "bottom-up rows";
    EXPECT_EQ(Read16(file, 26), 1);
    EXPECT_EQ(Read16(file, 28), 4) << "bits per pixel";
    EXPECT_EQ(Read32(file, 30), 0u) << "uncompressed";
    const uint32_t coloursUsed = Read32(file, 46);
    EXPECT_TRUE(coloursUsed == 0 || coloursUsed == 16);
    const size_t palette = 14 + infoSize;
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(file[palette + 4 * i + c], StandardPalette[i][c]) << "entry " << i;
    ASSERT_EQ(pixelOffset, palette + 16 * 4);

    const size_t rowBytes = 8; // 15 nibbles, padded to 4 bytes
    ASSERT_EQ(file.size(), pixelOffset + rowBytes * LampPictureSize);
    for (int row = 0; row < LampPictureSize; ++row) {
        const size_t line = pixelOffset + rowBytes * (LampPictureSize - 1 - row);
        for (int column = 0; column < LampPictureSize; ++column) {
            const uint8_t pair = file[line + column / 2];
            const int index = column % 2 == 0 ? pair >> 4 : pair & 0x0F;
            EXPECT_EQ(index, LampPixelIndex(LampPictureRows[row][column])) << row << "," << column;
        }
    }
}

TEST(LampResourceTest, DecodedResourceShowsTheLampPixelForPixel)
{
    TBitmap picture;
    picture.LoadFromResourceName("TLED");
    ASSERT_EQ(picture.Width(), LampPictureSize);
    ASSERT_EQ(picture.Height(), LampPictureSize);
    int lime = 0;
    for (int y = 0; y < LampPictureSize; ++y)
        for (int x = 0; x < LampPictureSize; ++x) {
            EXPECT_EQ(picture.Pixel(x, y), LampPixelColour(LampPictureRows[y][x])) << x << "," << y;
            lime += picture.Pixel(x, y) == clLime;
        }
    EXPECT_EQ(lime, 90);
    EXPECT_EQ(picture.Pixel(7, 7), clLime) << "the body's centre";
}

} // namespace
