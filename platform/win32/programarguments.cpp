#include "platform/kernel/programarguments.h"

#include "platform/win32/widetext.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

std::vector<std::string> ProgramArguments(int ArgumentCount, char** Arguments)
{
    // main's argv is in the ANSI code page, which loses what it cannot spell:
    // the wide command line has every name whole.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return ArgumentCount < 1 ? std::vector<std::string>()
                                 : std::vector<std::string>(Arguments + 1, Arguments + ArgumentCount);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(Utf8Text(wide[i], std::wcslen(wide[i])));
    LocalFree(wide);
    return result;
}
