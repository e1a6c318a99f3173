#pragma once
// Reads the whole sample data of a 16-bit PCM WAV file into memory, widening
// a mono file to stereo, for TWaveIn::ProcessFile. The chunk search follows
// the RIFF rules: the "WAVE" form from the start of the file, then "fmt ",
// then "data" after it. A data chunk that claims more than the file holds is
// a truncated file: nothing is allocated for it and nothing is read.

#include "platform/riff/mmio.h"

#include <cstdint>
#include <memory>
#include <string>

class TWaveFileReader {
public:
    enum TResult {
        wrRead,        // Data() holds Size() bytes of stereo frames
        wrUnreadable,  // missing, not RIFF "WAVE", no "fmt " or "data", truncated, too large
        wrWrongFormat, // not 16-bit PCM, a format record under 16 bytes, or a rate other than 44,100 Hz
    };

    explicit TWaveFileReader(bool IgnoreSampleRate) : FIgnoreSampleRate(IgnoreSampleRate) {}

    TResult Read(const std::string& FileName);

    // The samples: interleaved left and right, 16-bit little-endian.
    char* Data() const { return FData.get(); }
    // Bytes in Data(); for a widened mono file twice the data chunk's size.
    uint64_t Size() const { return FSize; }

private:
    // The leading fields of a format record that decide acceptance.
    struct TFormat {
        uint16_t FormatTag = 0;
        uint16_t Channels = 0;
        uint32_t SampleRate = 0;
        uint16_t BitsPerSample = 0;
    };

    TResult ReadFromOpenFile(HMMIO File);
    // False when the file ends inside the record.
    static bool ReadFormat(HMMIO File, TFormat& Format);
    bool IsAccepted(const TFormat& Format) const;
    // False for a truncated file or data that cannot be held in memory.
    bool ReadSamples(HMMIO File, uint32_t DeclaredBytes, bool Mono);
    void WidenMono(uint64_t MonoBytes);

    bool FIgnoreSampleRate = false;   // any sample rate passes
    std::unique_ptr<char[]> FData;    // the samples read, or empty
    uint64_t FSize = 0;               // bytes in FData
};
