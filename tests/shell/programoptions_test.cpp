// quimbrel's command line: the options read from argument lists, and the
// real program's answers to --help, --version and a wrong option.

#include "shell/programoptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

using Arguments = std::vector<std::string>;
constexpr const char* Version = "1.2.3.4";

TProgramOptions Read(const Arguments& Rest)
{
    Arguments arguments{"quimbrel"};
    arguments.insert(arguments.end(), Rest.begin(), Rest.end());
    return ReadProgramOptions(arguments, Version);
}

// Runs the program with Options; its standard output and error, and its exit status.
std::pair<std::string, int> RunProgram(const std::string& Options)
{
    FILE* pipe = popen((std::string(QUIMBREL_EXE) + " " + Options + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

TEST(ProgramOptions, TheInputInEveryGnuFormAndTheFileAfterOptions)
{
    const struct {
        Arguments Given;
        std::string Input;
        Arguments Files;
    } cases[] = {
        {{}, "", {}},
        {{"pass.wav"}, "", {"pass.wav"}},
        {{"--input", "hw:1,0"}, "hw:1,0", {}},
        {{"--input=plughw:CARD=USB"}, "plughw:CARD=USB", {}},
        {{"-i", "pulse", "pass.wav"}, "pulse", {"pass.wav"}},
        {{"-ipulse"}, "pulse", {}},
        {{"pass.wav", "-i", "pulse", "other.wav"}, "pulse", {"pass.wav", "other.wav"}},
        {{"--", "-odd.wav"}, "", {"-odd.wav"}},
    };
    for (const auto& c : cases) {
        const TProgramOptions options = Read(c.Given);
        SCOPED_TRACE(c.Given.empty() ? "" : c.Given.front());
        EXPECT_EQ(options.Action, TProgramAction::paRun);
        EXPECT_EQ(options.Input, c.Input);
        EXPECT_EQ(options.Files, c.Files);
    }
}

TEST(ProgramOptions, HelpVersionAndWrongCommandLines)
{
    const TProgramOptions help = Read({"--help"});
    EXPECT_EQ(help.Action, TProgramAction::paHelp);
    EXPECT_NE(help.Text.find("Usage: quimbrel [options] [file]"), std::string::npos) << help.Text;
    EXPECT_NE(help.Text.find("-i, --input <NAME>"), std::string::npos) << help.Text;
    EXPECT_EQ(Read({"-h"}).Action, TProgramAction::paHelp);
    const TProgramOptions version = Read({"--version"});
    EXPECT_EQ(version.Action, TProgramAction::paVersion);
    EXPECT_EQ(version.Text, "quimbrel 1.2.3.4\n");
    for (const Arguments& wrong : {Arguments{"--bogus"}, Arguments{"-x"}, Arguments{"--input"}}) {
        const TProgramOptions options = Read(wrong);
        EXPECT_EQ(options.Action, TProgramAction::paError) << wrong.front();
        EXPECT_EQ(options.Text.rfind("quimbrel: ", 0), 0u) << options.Text;
        EXPECT_NE(options.Text.find("Try 'quimbrel --help'"), std::string::npos) << options.Text;
    }
}

TEST(ProgramOptions, TheProgramAnswersWithoutADisplay)
{
    const auto [help, helpStatus] = RunProgram("--help");
    EXPECT_EQ(helpStatus, 0);
    EXPECT_NE(help.find("--input <NAME>"), std::string::npos) << help;
    const auto [version, versionStatus] = RunProgram("--version");
    EXPECT_EQ(versionStatus, 0);
    EXPECT_EQ(version, std::string("quimbrel ") + QUIMBREL_VERSION + "\n");
    const auto [wrong, wrongStatus] = RunProgram("--no-such-option");
    EXPECT_EQ(wrongStatus, TProgramOptions::ExitUsage);
    EXPECT_EQ(wrong, "quimbrel: Unknown option 'no-such-option'.\nTry 'quimbrel --help' for more information.\n");
}
