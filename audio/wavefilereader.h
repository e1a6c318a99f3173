#pragma once
// Reads the whole sample data of a 16-bit PCM WAV file into memory, widening
// a mono file to stereo, for TWaveIn::ProcessFile. TWaveFileChunks finds and
// checks the chunks; a data chunk that claims more than the file holds is a
// truncated file: nothing is allocated for it and nothing is read.

#include "audio/wavefilechunks.h"

#include <cstdint>
#include <memory>
#include <string>

class TWaveFileReader {
public:
    explicit TWaveFileReader(bool IgnoreSampleRate) : FIgnoreSampleRate(IgnoreSampleRate) {}

    // wcAccepted when Data() holds the samples; otherwise why nothing was read:
    // a check of TWaveFileChunks, wcTooLarge when the data cannot be held in
    // memory, or wcDataCutShort when fewer bytes arrive than the file held.
    TWaveFileCheck Read(const std::string& FileName);

    // The samples: interleaved left and right, 16-bit little-endian.
    char* Data() const { return FData.get(); }
    // Bytes in Data(); for a widened mono file twice the data chunk's size.
    uint64_t Size() const { return FSize; }

private:
    TWaveFileCheck ReadSamples(HMMIO File, uint32_t DeclaredBytes, bool Mono);
    void WidenMono(uint64_t MonoBytes);

    bool FIgnoreSampleRate = false;   // any sample rate passes
    std::unique_ptr<char[]> FData;    // the samples read, or empty
    uint64_t FSize = 0;               // bytes in FData
};
