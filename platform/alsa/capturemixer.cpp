#include "platform/alsa/capturemixer.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* PreferredElement = "Capture";
constexpr double CentibelsPerDecibel = 100.0;
constexpr int NoWait = 0; // poll's timeout, ms
constexpr const char* GoneError = "the level control went away";
// How often the mixer is opened anew, to read a change made elsewhere that
// no event reported (PipeWire's control plugin reports none).
constexpr std::chrono::seconds ReopenInterval{2};

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
    for (int c = SND_MIXER_SCHN_FRONT_LEFT; c <= SND_MIXER_SCHN_LAST; ++c) {
        const auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
        if (snd_mixer_selem_has_capture_channel(FElement, channel))
            FChannels.push_back(static_cast<int>(channel));
    }
    Watch();
}

TCaptureMixer::~TCaptureMixer()
{
    if (FMixer)
        snd_mixer_close(FMixer);
}

void TCaptureMixer::Watch()
{
    FOpened = std::chrono::steady_clock::now();
    // A removed card takes its element with it: the mixer forgets it then.
    snd_mixer_elem_set_callback_private(FElement, this);
    snd_mixer_elem_set_callback(FElement, [](snd_mixer_elem_t* Element, unsigned int Mask) {
        auto* mixer = static_cast<TCaptureMixer*>(snd_mixer_elem_get_callback_private(Element));
        if (Mask == SND_CTL_EVENT_MASK_REMOVE && mixer->FElement == Element) {
            mixer->FElement = nullptr;
            mixer->FReason = GoneError;
        }
        return 0;
    });
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
    // Refresh takes only the events that have come: a read must never wait.
    snd_hctl_t* hctl = nullptr;
    if (snd_mixer_get_hctl(FMixer, Device.c_str(), &hctl) == 0)
        snd_ctl_nonblock(snd_hctl_ctl(hctl), 1);
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

long TCaptureMixer::ChannelVolume(int Channel) const
{
    long value = FMin;
    if (FElement && Channel >= 0 && Channel < Channels())
        snd_mixer_selem_get_capture_volume(FElement, static_cast<snd_mixer_selem_channel_id_t>(FChannels[Channel]),
                                           &value);
    return value;
}

bool TCaptureMixer::SetChannelVolume(int Channel, long Value)
{
    if (!FElement || Channel < 0 || Channel >= Channels())
        return Failed(-ENODEV);
    return Failed(snd_mixer_selem_set_capture_volume(FElement, static_cast<snd_mixer_selem_channel_id_t>(FChannels[Channel]),
                                                     std::clamp(Value, FMin, FMax)));
}

bool TCaptureMixer::SetVolume(long Value)
{
    if (!FElement)
        return Failed(-ENODEV);
    return Failed(snd_mixer_selem_set_capture_volume_all(FElement, std::clamp(Value, FMin, FMax)));
}

bool TCaptureMixer::Failed(int Error)
{
    if (Error >= 0)
        return true;
    FError = FElement ? snd_strerror(Error) : FReason;
    return false;
}

bool TCaptureMixer::Refresh()
{
    if (!FElement)
        return false;
    const TVolumeSnapshot before = Snapshot();
    TakeEvents();
    if (FElement && std::chrono::steady_clock::now() - FOpened >= ReopenInterval)
        Reopen();
    return !FElement || Snapshot() != before;
}

void TCaptureMixer::TakeEvents()
{
    const int count = snd_mixer_poll_descriptors_count(FMixer);
    if (count <= 0)
        return;
    std::vector<pollfd> descriptors(count);
    unsigned short events = 0;
    if (snd_mixer_poll_descriptors(FMixer, descriptors.data(), count) > 0 &&
        poll(descriptors.data(), descriptors.size(), NoWait) > 0 &&
        snd_mixer_poll_descriptors_revents(FMixer, descriptors.data(), count, &events) == 0 && events != 0)
        snd_mixer_handle_events(FMixer);
}

void TCaptureMixer::Reopen()
{
    snd_mixer_t* previous = FMixer;
    if (!Attach(FDevice)) {
        FMixer = previous;
        FOpened = std::chrono::steady_clock::now();
        return;
    }
    snd_mixer_elem_t* element = FindCaptureElement();
    if (!element || snd_mixer_selem_get_name(element) != FElementName) {
        snd_mixer_close(FMixer);
        FMixer = previous;
        FOpened = std::chrono::steady_clock::now();
        return;
    }
    snd_mixer_close(previous);
    FElement = element;
    Watch();
}

double TCaptureMixer::DecibelsAt(long Value) const
{
    long centibels = 0;
    if (!FElement || snd_mixer_selem_ask_capture_vol_dB(FElement, Value, &centibels) < 0)
        return 0.0;
    return centibels / CentibelsPerDecibel;
}

std::unique_ptr<TInputVolume> OpenInputVolume(const std::string& Name)
{
    return std::make_unique<TCaptureMixer>(Name);
}

bool CaptureVolumesSupported()
{
    return true;
}
