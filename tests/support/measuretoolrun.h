#pragma once
// Runs quimbrel-measure for a test and reads what it wrote: standard output,
// standard error, exit status, JSON values (through python3) and block rows.

#include "support/scratchdir.h"

#include <string>
#include <vector>

// Where the tool is below the build folder.
inline constexpr const char* MeasureToolInBuild = "/tools/measure/quimbrel-measure";

struct TToolRun {
    int Status = -1;
    std::string Out; // standard output
    std::string Err; // standard error
};

// Tool (a program of this build) as shell words: under the emulator in a
// Linux cross build (QUIMBREL_TEST_EMULATOR), where the system cannot start it itself.
std::string BuiltProgramCommand(const std::string& Tool);

// Runs Tool with Args, standard input empty; standard output and error are
// kept in Dir's out.txt and err.txt.
TToolRun RunMeasureTool(const std::string& Tool, const TScratchDir& Dir, const std::vector<std::string>& Args);

std::string ReadText(const std::string& Path);

// Evaluates a Python expression over the JSON document in File (as d);
// a document that does not parse fails the test.
std::string JsonQuery(const std::string& File, const std::string& Expression);
double JsonNumber(const std::string& File, const std::string& Expression);

// One row of the CSV that --blocks writes.
struct TBlockRow {
    double Time;   // start of the block, seconds
    float LeftdB;  // exactly as written: the text reads back as the same single
    float RightdB;
};

// The rows of the CSV that --blocks writes (its heading skipped).
std::vector<TBlockRow> BlockRows(const std::string& Out);
