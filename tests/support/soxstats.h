#pragma once
// sox as an independent oracle: makes test signals and reads back its "stats"
// levels (dB relative to 32768, so a full-scale sine reads -0.0003 dB peak and
// -3.01 dB RMS).

#include <string>
#include <vector>

struct TSoxLevels {
    double PeakdB = 0.0; // "Pk lev dB"
    double RmsdB = 0.0;  // "RMS lev dB"
};

// Runs sox with the given arguments (each quoted for the shell); throws with
// sox's output when it fails.
void RunSox(const std::vector<std::string>& Args);

// Makes Path, a 16-bit WAV file of Channels channels at Rate frames per
// second, from nothing with the sox effects Effects ("synth", "1", "sine", ...).
void MakeSoxFile(const std::string& Path, const std::vector<std::string>& Effects, const std::string& Channels = "2",
                 const std::string& Rate = "44100");

// "sox File -n [trim 0 <FirstFrames>s] stats": the levels of each channel (one
// entry for a mono file, left and right for stereo). FirstFrames 0 = the whole file.
std::vector<TSoxLevels> SoxStats(const std::string& File, size_t FirstFrames = 0);

// Runs a shell command and returns its standard output and standard error
// together, with its exit status in ExitStatus.
std::string RunCommand(const std::string& Command, int& ExitStatus);

// Quotes a word for the shell.
std::string ShellQuote(const std::string& Word);
