#include "support/soxstats.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace {

// The numbers after a stats line's label: Overall, Left, Right for stereo;
// one number for mono.
std::vector<double> NumbersAfter(const std::string& Output, const std::string& Label)
{
    std::istringstream lines(Output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(Label, 0) != 0)
            continue;
        std::istringstream rest(line.substr(Label.size()));
        std::vector<double> numbers;
        double value = 0.0;
        while (rest >> value)
            numbers.push_back(value);
        return numbers;
    }
    throw std::runtime_error("sox stats printed no \"" + Label + "\":\n" + Output);
}

} // namespace

std::string ShellQuote(const std::string& Word)
{
    std::string quoted = "'";
    for (char c : Word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string RunCommand(const std::string& Command, int& ExitStatus)
{
    FILE* pipe = popen((Command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("cannot run " + Command);
    std::string output;
    std::array<char, 4096> chunk{};
    size_t got = 0;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), got);
    const int status = pclose(pipe);
    ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

void RunSox(const std::vector<std::string>& Args)
{
    std::string command = "sox";
    for (const auto& arg : Args)
        command += " " + ShellQuote(arg);
    int status = 0;
    const std::string output = RunCommand(command, status);
    if (status != 0)
        throw std::runtime_error(command + " failed:\n" + output);
}

void MakeSoxFile(const std::string& Path, const std::vector<std::string>& Effects, const std::string& Channels,
                 const std::string& Rate)
{
    // -r before -n: after it sox would synthesise at 48 kHz and resample.
    // -D: no dither, so the samples are exactly what the effects made.
    std::vector<std::string> args{"-r", Rate, "-n", "-b", "16", "-c", Channels, "-D", Path};
    args.insert(args.end(), Effects.begin(), Effects.end());
    RunSox(args);
}

std::vector<TSoxLevels> SoxStats(const std::string& File, size_t FirstFrames)
{
    std::string command = "sox " + ShellQuote(File) + " -n";
    if (FirstFrames > 0)
        command += " trim 0 " + std::to_string(FirstFrames) + "s";
    command += " stats";
    int status = 0;
    const std::string output = RunCommand(command, status);
    if (status != 0)
        throw std::runtime_error(command + " failed:\n" + output);
    const std::vector<double> peaks = NumbersAfter(output, "Pk lev dB");
    const std::vector<double> rms = NumbersAfter(output, "RMS lev dB");
    // Stereo prints Overall, Left, Right: the channels are the last two.
    const size_t first = peaks.size() > 1 ? 1 : 0;
    std::vector<TSoxLevels> levels;
    for (size_t i = first; i < peaks.size() && i < rms.size(); ++i)
        levels.push_back(TSoxLevels{peaks[i], rms[i]});
    return levels;
}
