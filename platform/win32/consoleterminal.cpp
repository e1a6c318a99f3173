// The tool's terminal on Windows: the console, with virtual-terminal
// sequences for the bars that redraw a line in place.

#include "tools/measure/terminal.h"

#include <windows.h>

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <string>

namespace measure {

namespace {

// The console's output code page before the tool set UTF-8; 0 when untouched.
UINT PreviousOutputCodePage = 0;

void RestoreOutputCodePage()
{
    if (PreviousOutputCodePage != 0)
        SetConsoleOutputCP(PreviousOutputCodePage);
}

HANDLE ConsoleOf(std::FILE* Stream)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(Stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

void UseTerminalSequences(std::FILE* Stream)
{
    const HANDLE console = ConsoleOf(Stream);
    DWORD mode = 0;
    if (console && GetConsoleMode(console, &mode))
        SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

} // namespace

void PrepareStandardStreams()
{
    // Binary: "\n" stays one byte, so reports are the same bytes as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    UseTerminalSequences(stdout);
    UseTerminalSequences(stderr);
    // File names and the report's text are UTF-8; the console shows them as such
    // while the tool runs, and gets its own code page back afterwards.
    if (ConsoleOf(stdout) || ConsoleOf(stderr)) {
        PreviousOutputCodePage = GetConsoleOutputCP();
        if (PreviousOutputCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
            std::atexit(RestoreOutputCodePage);
        else
            PreviousOutputCodePage = 0;
    }
}

bool IsTerminal(std::FILE* Stream)
{
    return ConsoleOf(Stream) != nullptr;
}

int TerminalColumns(std::FILE* Stream)
{
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    const HANDLE console = ConsoleOf(Stream);
    if (!console || !GetConsoleScreenBufferInfo(console, &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

std::string WrittenText(const std::function<void(std::FILE*)>& Write)
{
    // A scratch file in the user's temporary folder, deleted when closed ("D").
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"qmr", 0, name) == 0)
        return std::string();
    std::FILE* scratch = _wfopen(name, L"w+bD");
    if (!scratch) {
        DeleteFileW(name);
        return std::string();
    }
    Write(scratch);
    std::string text;
    std::rewind(scratch);
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, scratch)) > 0)
        text.append(chunk, got);
    std::fclose(scratch);
    return text;
}

} // namespace measure
