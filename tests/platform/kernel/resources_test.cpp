#include "platform/kernel/resources.h"

#include <gtest/gtest.h>

TEST(ResourcesTest, EmbeddedFilesAreFoundByPathAndMissingOnesAreNot)
{
    std::vector<uint8_t> data;
    EXPECT_TRUE(ReadResource("icons/quimbrel.png", data));
    ASSERT_GT(data.size(), 8u);
    EXPECT_EQ(data[1], 'P');
    EXPECT_FALSE(ReadResource("icons/none.png", data));
    TDecodedImage image;
    EXPECT_FALSE(LoadResourceImage("NoSuchBitmap", image));
}
