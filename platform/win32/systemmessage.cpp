#include "platform/win32/systemmessage.h"

#include "platform/win32/widetext.h"

#include <windows.h>

std::string SystemMessage(unsigned long Error)
{
    wchar_t* text = nullptr;
    const DWORD units = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, static_cast<DWORD>(Error), 0, reinterpret_cast<wchar_t*>(&text), 0,
                                       nullptr);
    std::string message = units > 0 ? Utf8Text(text, units) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.'))
        message.pop_back();
    return message;
}
