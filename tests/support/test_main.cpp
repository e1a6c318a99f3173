#include "platform/forms/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Widgets are tested without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Tests choose their capture device through their own ALSA configuration.
    unsetenv("QUIMBREL_INPUT");
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    Application.Finalize();
    return result;
}
