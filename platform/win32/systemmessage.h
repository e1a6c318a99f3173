#pragma once
// The system's own words for an error.

#include <string>

// FormatMessageW's text for Error (a Win32 error or an HRESULT) in UTF-8,
// without the line end and the full stop; empty when the system has none.
std::string SystemMessage(unsigned long Error);
