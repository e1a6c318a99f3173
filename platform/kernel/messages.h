#pragma once
// Hidden message windows: any object can own a window handle whose posted
// messages reach its handler on the user-interface thread, one at a time, in
// posting order. PostMessage may be called from any thread.
//
// The one road from the capture thread into the program:
//  1. The ALSA capture thread (platform/alsa/waveindevice) has filled a
//     buffer, or has found its stream lost, and calls PostMessage for the wave
//     input's hidden window. PostMessage appends the message to the one queue
//     under the queue's lock and returns; no program code runs on that thread.
//  2. Still on the capture thread, PostMessage calls the waker that the event
//     loop installed with SetPostedMessageWaker (the Qt peer's asks Qt to run
//     DispatchPostedMessages on the UI thread). The call is counted while it
//     runs, and SetPostedMessageWaker waits for the calls in flight, so that the
//     event loop may delete what its old waker used as soon as it has replaced it.
//  3. On the UI thread DispatchPostedMessages takes the messages queued at
//     that moment, oldest first, and runs each window's handler. The wave
//     input's (TWaveIn::WndProc) queues the buffers on an open, measures a
//     block, forgets a closed device, or closes a lost input and reports it.
//  4. A close notification takes another way: waveInClose posts it on the UI
//     thread once the capture thread has ended, and TWaveIn takes it at once
//     with GetMessage.

#include <cstdint>
#include <functional>

struct THiddenWindow;
using HWND = THiddenWindow*;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// A message as a handler sees it; Result is the handler's answer.
struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A queued message, as GetMessage returns it.
struct MSG {
    HWND hwnd = nullptr;
    unsigned message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using TWndMethod = std::function<void(TMessage& Message)>;

HWND AllocateHWnd(TWndMethod Method);
// Drops the window; messages still queued for it are discarded.
void DeallocateHWnd(HWND Wnd);

// Queues a message for the window; safe from any thread. False for no window.
bool PostMessage(HWND Wnd, unsigned Msg, WPARAM WParam, LPARAM LParam);

// Takes the first queued message of Wnd whose number lies in [MsgFilterMin,
// MsgFilterMax], waiting until one arrives, and leaves every other queued
// message where it is. Returns false when the window is deallocated while waiting.
bool GetMessage(MSG& Msg, HWND Wnd, unsigned MsgFilterMin, unsigned MsgFilterMax);

// Runs the message through its window's handler on the calling thread.
// An exception that escapes the handler goes to the installed exception
// handler (platform/kernel/exception.h): the application's exception display.
LRESULT DispatchMessage(const MSG& Msg);

// Default handling of a message that a handler does not know: nothing, 0.
LRESULT DefWindowProc(HWND Wnd, unsigned Msg, WPARAM WParam, LPARAM LParam);

// Dispatches the messages of every window that are queued when it is called,
// oldest first; messages posted meanwhile wait for the next call. Returns the
// number dispatched. The application's event loop calls this; tests
// without an event loop may too.
int DispatchPostedMessages();

// Whether any message is queued.
bool HasPostedMessages();

// Called (from the posting thread) after every post, so that an event loop can
// wake up and call DispatchPostedMessages on its own thread. Waits until no
// call of the previous waker is running; never call it from a waker.
void SetPostedMessageWaker(std::function<void()> Waker);
