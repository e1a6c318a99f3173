#pragma once
// Every entry from Qt into the program (paint, timer, click, posted message)
// goes through Guarded, so no exception ever crosses into Qt: it is shown by
// the application's exception display and the event loop goes on.

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
