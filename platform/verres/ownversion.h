#pragma once
// The version that the running program's own version resource gives.

#include <string>

// "FileVersion" of the first translation in the running program's version
// resource ("1.0.0.1"); empty when there is no resource or no such value.
std::string OwnFileVersion();

// The running program's own file, for GetFileVersionInfo; empty when the
// system does not say.
std::string OwnProgramFile();
