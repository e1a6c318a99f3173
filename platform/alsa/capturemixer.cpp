#include "platform/alsa/capturemixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* PreferredElement = "Capture";
constexpr double CentibelsPerDecibel = 100.0;
constexpr double Percent = 100.0;
// Gains at or below this are shown as muted.
constexpr double MutedDecibels = -200.0;

// The value of "CARD=" in a PCM's arguments, else its first positional
// argument ("1" in "hw:1,0"); empty when there is none.
std::string CardOf(const std::string& Arguments)
{
    const std::string key = "CARD=";
    const size_t named = Arguments.find(key);
    size_t start = 0;
    if (named != std::string::npos)
        start = named + key.size();
    else if (Arguments.substr(0, Arguments.find(',')).find('=') != std::string::npos)
        return std::string();
    return Arguments.substr(start, Arguments.find(',', start) - start);
}

} // namespace

std::string CaptureMixerDevice(const std::string& PcmName)
{
    const size_t colon = PcmName.find(':');
    if (colon == std::string::npos)
        return PcmName;
    const std::string card = CardOf(PcmName.substr(colon + 1));
    return card.empty() ? PcmName : "hw:" + card;
}

TCaptureMixer::TCaptureMixer(const std::string& PcmName) : FDevice(CaptureMixerDevice(PcmName))
{
    if (!Attach(FDevice)) {
        FReason = "no level control: " + PcmName + " has no mixer";
        return;
    }
    FElement = FindCaptureElement();
    if (!FElement) {
        FReason = "no level control: mixer " + FDevice + " has no capture volume";
        return;
    }
    FElementName = snd_mixer_selem_get_name(FElement);
    snd_mixer_selem_get_capture_volume_range(FElement, &FMin, &FMax);
    long minimum = 0, maximum = 0;
    FHasDecibels = snd_mixer_selem_get_capture_dB_range(FElement, &minimum, &maximum) == 0 && minimum < maximum;
    FVolume = ReadVolume();
}

TCaptureMixer::~TCaptureMixer()
{
    if (FMixer)
        snd_mixer_close(FMixer);
}

bool TCaptureMixer::Attach(const std::string& Device)
{
    if (snd_mixer_open(&FMixer, 0) < 0) {
        FMixer = nullptr;
        return false;
    }
    if (snd_mixer_attach(FMixer, Device.c_str()) < 0 || snd_mixer_selem_register(FMixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(FMixer) < 0) {
        snd_mixer_close(FMixer);
        FMixer = nullptr;
        return false;
    }
    return true;
}

snd_mixer_elem_t* TCaptureMixer::FindCaptureElement() const
{
    snd_mixer_elem_t* first = nullptr;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(FMixer); e; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_active(e) || !snd_mixer_selem_has_capture_volume(e))
            continue;
        if (std::string(snd_mixer_selem_get_name(e)) == PreferredElement && snd_mixer_selem_get_index(e) == 0)
            return e;
        if (!first)
            first = e;
    }
    return first;
}

long TCaptureMixer::ReadVolume() const
{
    long highest = FMin;
    for (int c = SND_MIXER_SCHN_FRONT_LEFT; c <= SND_MIXER_SCHN_LAST; ++c) {
        const auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
        long value = 0;
        if (snd_mixer_selem_has_capture_channel(FElement, channel) &&
            snd_mixer_selem_get_capture_volume(FElement, channel, &value) == 0)
            highest = std::max(highest, value);
    }
    return highest;
}

bool TCaptureMixer::SetVolume(long Value)
{
    if (!FElement)
        return false;
    const long value = std::clamp(Value, FMin, FMax);
    if (snd_mixer_selem_set_capture_volume_all(FElement, value) < 0)
        return false;
    FVolume = value;
    return true;
}

bool TCaptureMixer::Refresh()
{
    if (!FElement)
        return false;
    // A sound server's control plugin need not send an event for a change
    // made elsewhere, and the simple mixer shows values only as events bring
    // them: the mixer is opened anew, which reads every value.
    snd_mixer_t* previous = FMixer;
    if (!Attach(FDevice)) {
        FMixer = previous;
        return false;
    }
    snd_mixer_elem_t* element = FindCaptureElement();
    if (!element || snd_mixer_selem_get_name(element) != FElementName) {
        snd_mixer_close(FMixer);
        FMixer = previous;
        return false;
    }
    snd_mixer_close(previous);
    FElement = element;
    const long before = FVolume;
    FVolume = ReadVolume();
    return FVolume != before;
}

double TCaptureMixer::DecibelsAt(long Value) const
{
    long centibels = 0;
    if (!FElement || snd_mixer_selem_ask_capture_vol_dB(FElement, Value, &centibels) < 0)
        return 0.0;
    return centibels / CentibelsPerDecibel;
}

int TCaptureMixer::PercentAt(long Value) const
{
    if (FMax <= FMin)
        return 0;
    return static_cast<int>(std::lround((Value - FMin) * Percent / (FMax - FMin)));
}

std::string TCaptureMixer::Text(long Value) const
{
    char text[32];
    if (!FHasDecibels)
        std::snprintf(text, sizeof text, "%d %%", PercentAt(Value));
    else if (DecibelsAt(Value) <= MutedDecibels)
        std::snprintf(text, sizeof text, "muted");
    else
        std::snprintf(text, sizeof text, "%+.1f dB", DecibelsAt(Value));
    return text;
}

bool CaptureVolumesSupported()
{
    return true;
}
