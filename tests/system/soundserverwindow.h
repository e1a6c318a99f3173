#pragma once
// The real main window on a real sound server, as the sound-server checks use
// it: the message boxes it shows, its Running and Stopped states, the commands
// that kill and start the server (given by the test script in
// QUIMBREL_SERVER_KILL and QUIMBREL_SERVER_START), and what the process costs.

#include "shell/mainform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SoundServerWindow : public ::testing::Test {
protected:
    // What the process used over a stretch of time.
    struct TUsage {
        long StartKiB = 0;         // resident memory at the start
        long EndKiB = 0;           // resident memory at the end
        double ProcessorPercent = 0; // processor time of all threads, in percent of one core
    };

    void SetUp() override;
    // Closes the window; a server that a check left dead is started again.
    void TearDown() override;

    bool Running() const;
    bool Stopped() const;

    // Kill or start the server; false when the command failed.
    bool KillServer();
    bool StartServer();

    // Lets the window run for Milliseconds as an idle program would, handling
    // events a few times per block period, and measures the process meanwhile.
    TUsage Measure(uint32_t Milliseconds);

    // Resident memory of this process in KiB.
    static long ResidentKiB();

    // The level of the server's tone (a sine 1 dB below full scale, see
    // soundserver-common.sh), peak and RMS alike: 0 dB is a full-scale sine.
    static float ToneLevelDb();

    std::unique_ptr<TForm1> Form;
    std::vector<std::string> Boxes; // texts of the message boxes shown
    bool ServerDown = false;        // KillServer ran, StartServer not since
};
