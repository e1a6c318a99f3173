#pragma once
// Every entry from Windows into the program (a window procedure, a timer, a
// notification) goes through Guarded, so that no exception ever unwinds
// through the system's code: it is shown by the application's exception
// display and the message loop goes on.

#include "platform/forms/application.h"

template <class F>
void Guarded(TObject* Sender, F&& Call)
{
    try {
        Call();
    } catch (...) {
        Application.HandleException(Sender);
    }
}
