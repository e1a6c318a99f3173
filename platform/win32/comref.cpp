#include "platform/win32/comref.h"

#include <windows.h>
#include <objbase.h>

void StartCom()
{
    static const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)started;
}
