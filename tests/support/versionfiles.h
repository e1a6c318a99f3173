#pragma once
// Files carrying a version block where the version queries look for it: small
// ELF files with the block in the version section, written into a test's own
// directory.

#include "platform/verres/versionblockwriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace versiontest {

// The project's version as CMakeLists.txt in SourceDir gives it ("1.0.0.1");
// empty when it cannot be found.
std::string ProjectVersionText(const std::string& SourceDir);

// Writes Dir/Name: an ELF file whose version section holds Block; returns the path.
std::string WriteVersionElf(const std::string& Dir, const std::string& Name, const std::vector<uint8_t>& Block);

// The same for a block written from Resource.
std::string WriteResourceElf(const std::string& Dir, const std::string& Name, const TVersionResource& Resource);

// An ELF file without a version section.
std::string WritePlainElf(const std::string& Dir, const std::string& Name);

} // namespace versiontest
