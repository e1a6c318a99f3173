#pragma once
// What the wave input, the analyser and the main window share: the block and
// format records, the requested format, the file-block marker, the data event,
// the wave input's exceptions and the decibel conversion.

#include "audio/powertodb.h"
#include "platform/alsa/mmsystem.h"
#include "platform/kernel/exception.h"

#include <cstdint>
#include <functional>
#include <span>

// 16-bit signed PCM, two channels (left then right), 44,100 frames per second.
inline constexpr tWAVEFORMATEX DefaultWaveFormat{
    1,      // wFormatTag: PCM
    2,      // nChannels
    44100,  // nSamplesPerSec
    176400, // nAvgBytesPerSec
    4,      // nBlockAlign: bytes per frame
    16,     // wBitsPerSample
    0,      // cbSize
};

// In a header's dwUser: the block carries file data and never goes to the device.
inline constexpr uint32_t FileBlockMarker = 12345678;

// The samples of a block: interleaved left and right, signed 16-bit, as many
// as the header's recorded bytes hold.
inline std::span<int16_t> BlockSamples(const wavehdr_tag& Header)
{
    return {reinterpret_cast<int16_t*>(Header.lpData), Header.dwBytesRecorded / sizeof(int16_t)};
}

// Raised for a block of samples; Header.lpData and Header.dwBytesRecorded give the samples.
using THaveDataEvent = std::function<void(wavehdr_tag& Header)>;

// The wave input device cannot be opened.
class EWaveInError : public Exception {
public:
    using Exception::Exception;
};

// A block length that the wave input cannot use.
class EBufferSamplesError : public Exception {
public:
    using Exception::Exception;
};
