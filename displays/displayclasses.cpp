// The display controls as form descriptions name them, with their published
// properties (the control ones come from their base classes).

#include "displays/flickerlessborderedcustomcontrol.h"
#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/kernel/classregistry.h"

namespace {

void RegisterDisplayClasses()
{
    using B = TFlickerlessBorderedCustomControl;
    RegisterComponentClass<B>("TFlickerlessBorderedCustomControl", "TCustomControl",
                              {Property("BackgroundColour", &B::SetBackgroundColour)});
    using M = TLevelMeter;
    RegisterComponentClass<M>("TLevelMeter", "TFlickerlessBorderedCustomControl",
                              {
                                  Property("LeftdB", &M::SetLeftdB),
                                  Property("RightdB", &M::SetRightdB),
                                  Property("MaxdB", &M::SetMaxdB),
                                  Property("MindB", &M::SetMindB),
                                  Property("IntervaldB", &M::SetIntervaldB),
                                  Property("BarColour", &M::SetBarColour),
                                  Property("DecayRate", &M::SetDecayRate),
                              });
    RegisterComponentClass<TLED>("TLED", "TGraphicControl", {Property("Colour", &TLED::SetColour)});
}

const TClassRegistration DisplayClasses(RegisterDisplayClasses);

} // namespace
