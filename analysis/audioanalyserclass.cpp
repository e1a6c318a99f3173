// TBasicAudioAnalyser as form descriptions name it, with the published
// properties of a wave input followed by its own.

#include "analysis/audioanalyser.h"
#include "displays/audiodisplay.h"
#include "displays/levelmeter.h"
#include "platform/kernel/classregistry.h"

namespace {

void RegisterAudioAnalyser()
{
    using A = TBasicAudioAnalyser;
    RegisterComponentClass<A>("TBasicAudioAnalyser", "TComponent",
                              {
                                  Property("Enabled", &A::SetEnabled),
                                  Property("OnOpen", &A::SetOnOpen),
                                  Property("OnClose", &A::SetOnClose),
                                  Property("OnData", &A::SetOnData),
                                  Property("OnLost", &A::SetOnLost),
                                  Property("AutoStart", &A::SetAutoStart),
                                  Property("BufferSamples", &A::SetBufferSamples),
                                  Property("IgnoreFileSampleRate", &A::SetIgnoreFileSampleRate),
                                  Property("LeftOffset", &A::SetLeftOffset),
                                  Property("RightOffset", &A::SetRightOffset),
                                  Property("LevelMeter", &A::SetLevelMeter),
                                  Property("Display", &A::SetDisplay),
                                  Property("PeakLevel", &A::SetPeakLevel),
                              });
}

const TClassRegistration AudioAnalyserClass(RegisterAudioAnalyser);

} // namespace
