#pragma once
// What the tool needs of the system's terminal and standard streams. POSIX
// terminals in terminal.cpp; the Windows console in
// platform/win32/consoleterminal.cpp, chosen by CMake.

#include <cstdio>
#include <functional>
#include <string>

namespace measure {

// Readies the standard streams before anything is written: reports are
// written byte for byte as on every platform ("\n" ends a line), and a
// terminal understands the escape sequences that redraw a line in place.
void PrepareStandardStreams();

// Whether Stream is a terminal (a console on Windows).
bool IsTerminal(std::FILE* Stream);

// The width of the terminal that Stream writes to, in columns; 0 when it
// does not say.
int TerminalColumns(std::FILE* Stream);

// What Write writes to the stream it is given, as text; empty when no such
// stream can be made.
std::string WrittenText(const std::function<void(std::FILE*)>& Write);

} // namespace measure
