#include "support/measuretoolrun.h"

#include "support/soxstats.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

std::string ReadText(const std::string& Path)
{
    std::ifstream file(Path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string BuiltProgramCommand(const std::string& Tool)
{
    const std::string emulator = QUIMBREL_TEST_EMULATOR;
    return (emulator.empty() ? "" : emulator + " ") + ShellQuote(Tool);
}

TToolRun RunMeasureTool(const std::string& Tool, const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    // Grouped, so that the redirections here win over RunCommand's own.
    std::string command = "{ " + BuiltProgramCommand(Tool);
    for (const auto& arg : Args)
        command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(Dir.File("out.txt")) + " 2>" + ShellQuote(Dir.File("err.txt")) + " </dev/null; }";
    TToolRun run;
    RunCommand(command, run.Status);
    run.Out = ReadText(Dir.File("out.txt"));
    run.Err = ReadText(Dir.File("err.txt"));
    return run;
}

std::string JsonQuery(const std::string& File, const std::string& Expression)
{
    int status = 0;
    const std::string output = RunCommand(
        "python3 -c " + ShellQuote("import json,sys; d=json.load(open(sys.argv[1])); print(" + Expression + ")") + " " +
            ShellQuote(File),
        status);
    EXPECT_EQ(status, 0) << output;
    return output.substr(0, output.find_last_not_of('\n') + 1);
}

double JsonNumber(const std::string& File, const std::string& Expression)
{
    return std::stod(JsonQuery(File, Expression));
}

std::vector<TBlockRow> BlockRows(const std::string& Out)
{
    std::vector<TBlockRow> rows;
    std::istringstream lines(Out);
    std::string line;
    const std::regex row(R"(^([0-9.]+),([-0-9.e]+),([-0-9.e]+)$)");
    std::smatch match;
    while (std::getline(lines, line))
        if (std::regex_match(line, match, row))
            rows.push_back(TBlockRow{std::stod(match[1]), std::strtof(match[2].str().c_str(), nullptr),
                                     std::strtof(match[3].str().c_str(), nullptr)});
    return rows;
}
