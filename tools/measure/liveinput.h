#pragma once
// The capture input of a live run: an ALSA PCM (a winmm device on Windows)
// opened for 16-bit stereo at 44,100 Hz, as the window opens it, and read in
// whole blocks of 4410 frames.

// The platform's capture stream: its library (quimbrel_alsa, or
// quimbrel_wavecapture on Windows) puts its own folder on the include path.
#include "capturestream.h"
#include "platform/kernel/exception.h"
#include "tools/measure/stopsignal.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace measure {

// The input could not be opened or was lost; the message names the device.
class ELiveInputError : public Exception {
public:
    using Exception::Exception;
};

class TLiveInput {
public:
    static constexpr size_t BlockFrames = 4410; // 100 ms, as the window's blocks
    static constexpr unsigned Channels = 2;
    static constexpr unsigned FramesPerSecond = 44100;

    // Opens and starts PcmName; Stop may cut a read short from now on.
    // Throws ELiveInputError.
    TLiveInput(const std::string& PcmName, TStopSignal& Stop);
    ~TLiveInput();
    TLiveInput(const TLiveInput&) = delete;
    TLiveInput& operator=(const TLiveInput&) = delete;

    // Fills Block (BlockFrames interleaved stereo frames) with the next block:
    // true, or false when a stop was asked for before it was full. Throws
    // ELiveInputError when the stream is lost.
    bool ReadBlock(int16_t* Block);

    // Frames read so far, those of an unfinished block included.
    uint64_t FramesRead() const { return FFramesRead; }

private:
    std::string FPcmName;                    // as given, named in messages
    TStopSignal& FStop;                      // asks a read to give up
    std::unique_ptr<TCaptureStream> FStream; // open and started
    uint64_t FFramesRead = 0;                // frames read since the start
};

} // namespace measure
