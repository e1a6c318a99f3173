// TAudioDisplay as form descriptions name it, with its published property
// (BackgroundColour and the control ones come from its base classes).

#include "audio/wavein.h"
#include "displays/audiodisplay.h"
#include "platform/kernel/classregistry.h"

namespace {

void RegisterAudioDisplay()
{
    RegisterComponentClass<TAudioDisplay>("TAudioDisplay", "TFlickerlessBorderedCustomControl",
                                          {Property("Source", &TAudioDisplay::SetSource)});
}

const TClassRegistration AudioDisplayClass(RegisterAudioDisplay);

} // namespace
