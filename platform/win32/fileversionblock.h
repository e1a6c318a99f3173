#pragma once
// What Windows itself says about a program file, without its types: the
// version resource as GetFileVersionInfo reads it, and the running program's
// own path. fileversioninfo.cpp builds the version service on them.

#include <cstdint>
#include <string>
#include <vector>

// The file's VS_VERSIONINFO block as the system reads it (its first wLength
// bytes are the resource); empty when the file has none or cannot be read.
// FileName is UTF-8.
std::vector<uint8_t> SystemVersionBlock(const std::string& FileName);

// The running program's own file, UTF-8; empty when the system does not say.
std::string RunningProgramFile();
