#pragma once
// Compiled resource files (.res) for the version-information tests: compiling a
// resource script with the MinGW resource compiler, taking the version block
// out of a .res file, and wrapping a block into one so the compiler can turn it
// back into a script.

#include <cstdint>
#include <string>
#include <vector>

namespace versiontest {

// Runs the resource compiler on RcText and returns the .res bytes; fails the
// current test (and returns nothing) when it does not succeed.
std::vector<uint8_t> CompileRc(const std::string& RcText, const std::string& WorkDir);

// Decompiles .res bytes into resource-script text; empty on failure.
std::string DecompileRes(const std::vector<uint8_t>& Res, const std::string& WorkDir);

// The data of the first version resource (type 16) in a .res file; empty when
// there is none or the file is malformed.
std::vector<uint8_t> ExtractVersionResource(const std::vector<uint8_t>& Res);

// A .res file holding Block as version resource 1, language 0x0409.
std::vector<uint8_t> WrapVersionResource(const std::vector<uint8_t>& Block);

std::vector<uint8_t> ReadBinaryFile(const std::string& Path);
void WriteBinaryFile(const std::string& Path, const std::vector<uint8_t>& Bytes);

// A fresh, empty directory Root/testdata/Name for one test.
std::string FreshTestDir(const std::string& Root, const std::string& Name);

// A fresh directory Root/testdata/<suite>_<test> for the running test.
std::string TestDirForCurrentTest(const std::string& Root);

// The version block that the resource compiler makes of RcText, compiled in
// WorkDir; empty, with the current test failed, when there is none.
std::vector<uint8_t> CompileVersionBlock(const std::string& RcText, const std::string& WorkDir);

// UTF-8 script of version resource 1 with the fixed record that the compiler
// oracle tests check (file version 1.2.3.4, product version 5.6.7.8, flags
// mask 0x3F, flags 0x06: patched and pre-release, OS 0x40004: NT and 32-bit
// Windows, type 1: application) and one string table, "080904E4" (UK English,
// Western European), which holds ValueLines and is the only translation listed.
std::string UkEnglishVersionScript(const std::string& ValueLines);

} // namespace versiontest
