#pragma once
// <windows.h> for the files of this folder; include it after every header of
// the program. The class library's names that Windows defines too (HWND,
// MSG, PostMessage, the wave-input records, GetTickCount ...) stay the
// program's: Windows' own types are renamed W32HWND, W32MSG, W32WAVEHDR and
// W32WAVEFORMATEX here, and its functions are called by their W names.
// The program's headers that use those names come first, always.

#include "platform/alsa/mmsystem.h"
#include "platform/graphics/region.h"
#include "platform/forms/application.h"
#include "platform/kernel/messages.h"
#include "platform/kernel/sysutils.h"
#include "platform/riff/mmio.h"
#include "platform/widgets/control.h"
#include "platform/widgets/keys.h"

#define HWND W32HWND
#define MSG W32MSG
#define wavehdr_tag W32wavehdr_tag
#define WAVEHDR W32WAVEHDR
#define tWAVEFORMATEX W32tWAVEFORMATEX
#define WAVEFORMATEX W32WAVEFORMATEX
#define FOURCC W32FOURCC
#define MMCKINFO W32MMCKINFO
#define HMMIO W32HMMIO
#define GetTickCount W32GetTickCount
#define Sleep W32Sleep
#define CreateEllipticRgn W32CreateEllipticRgn
// Declared below under names of their own: the program's calls of the same
// name take the same argument.
#define waveInClose W32UnusedWaveInClose
#define waveInStart W32UnusedWaveInStart
#define waveInStop W32UnusedWaveInStop
#define waveInReset W32UnusedWaveInReset

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <wincodec.h>

#undef HWND
#undef MSG
#undef wavehdr_tag
#undef WAVEHDR
#undef tWAVEFORMATEX
#undef WAVEFORMATEX
#undef FOURCC
#undef MMCKINFO
#undef HMMIO
#undef GetTickCount
#undef Sleep
#undef CreateEllipticRgn
#undef waveInClose
#undef waveInStart
#undef waveInStop
#undef waveInReset

#undef PostMessage
#undef GetMessage
#undef DispatchMessage
#undef DefWindowProc
#undef MessageBox
#undef TextOut
#undef waveInGetErrorText

// A top-level window's parent for windows that only receive messages.
inline W32HWND MessageOnlyParent()
{
    return reinterpret_cast<W32HWND>(static_cast<intptr_t>(-3));
}

// winmm's own calls whose names the program's wave-input calls share.
extern "C" {
MMRESULT WINAPI W32waveInClose(HWAVEIN Handle) __asm__("waveInClose");
MMRESULT WINAPI W32waveInStart(HWAVEIN Handle) __asm__("waveInStart");
MMRESULT WINAPI W32waveInStop(HWAVEIN Handle) __asm__("waveInStop");
MMRESULT WINAPI W32waveInReset(HWAVEIN Handle) __asm__("waveInReset");
}
