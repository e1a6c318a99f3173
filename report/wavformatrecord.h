#pragma once
// The "fmt " record of a WAV file as quimbrel-measure takes it: 16-bit PCM,
// as format tag 1 or as WAVE_FORMAT_EXTENSIBLE with the PCM subformat and 16
// valid bits, any number of channels, any rate but 0. Any other record is
// refused with a message that says what it holds ("24-bit PCM: only 16-bit
// PCM is measured").

#include <cstddef>
#include <cstdint>

namespace measure {

// The most of a format record that is looked at: the extensible record.
inline constexpr size_t FormatRecordMaxBytes = 40;

struct TPcmFormat {
    uint16_t Channels = 0;   // 1 or more; channels 1 and 2 are measured
    uint32_t SampleRate = 0; // frames per second, above 0
};

// Little-endian fields of a WAV header.
uint16_t LittleEndian16(const uint8_t* At);
uint32_t LittleEndian32(const uint8_t* At);

// Reads the record's first Bytes bytes (the chunk may hold more); throws
// EWavFileError for a record that is not 16-bit PCM.
TPcmFormat PcmFormatOf(const uint8_t* Record, size_t Bytes);

} // namespace measure
