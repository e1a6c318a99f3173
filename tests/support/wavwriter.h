#pragma once
// Writes WAV files for tests: RIFF form "WAVE" with a "fmt " chunk and a
// "data" chunk of 16-bit little-endian samples, or any chunks a test builds.

#include <cstdint>
#include <string>
#include <vector>

// The fields of the format record that a reader looks at.
struct TWavFormat {
    uint16_t FormatTag = 1;      // 1 = PCM
    uint16_t Channels = 2;       // 1 = mono, 2 = stereo (left then right)
    uint32_t SampleRate = 44100; // frames per second
    uint16_t BitsPerSample = 16; // bits of one sample
};

// One chunk: four-character identifier, 32-bit little-endian size, data and,
// when the size is odd, a pad byte.
std::vector<uint8_t> RiffChunk(const std::string& Id, const std::vector<uint8_t>& Data);

// The 16 bytes of a PCM format record.
std::vector<uint8_t> WavFormatRecord(const TWavFormat& Format);

// Samples as little-endian 16-bit bytes.
std::vector<uint8_t> SampleBytes(const std::vector<int16_t>& Samples);

// A RIFF chunk of form "WAVE" around the given sub-chunks, already encoded.
std::vector<uint8_t> WaveFile(const std::vector<std::vector<uint8_t>>& Chunks);

// A whole file: "fmt " then "data" holding Samples (interleaved when stereo).
std::vector<uint8_t> WavFileBytes(const std::vector<int16_t>& Samples, const TWavFormat& Format = {});

void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes);
void WriteWavFile(const std::string& Path, const std::vector<int16_t>& Samples, const TWavFormat& Format = {});
