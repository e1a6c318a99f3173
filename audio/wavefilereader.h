#pragma once
// Reads the whole sample data of a 16-bit PCM WAV file into memory for
// TWaveIn::ProcessFile, and hands it out block by block as stereo: a mono
// file is widened one block at a time, so it takes no more memory than its
// data chunk and a block. TWaveFileChunks finds and checks the chunks; a data
// chunk that claims more than the file holds is a truncated file: nothing is
// allocated for it and nothing is read.

#include "audio/wavefilechunks.h"

#include <cstdint>
#include <memory>
#include <string>

class TWaveFileReader {
public:
    explicit TWaveFileReader(bool IgnoreSampleRate) : FIgnoreSampleRate(IgnoreSampleRate) {}

    // wcAccepted when the samples are held; otherwise why nothing was read:
    // a check of TWaveFileChunks, wcTooLarge when the data cannot be held in
    // memory, or wcDataCutShort when fewer bytes arrive than the file held.
    TWaveFileCheck Read(const std::string& FileName);

    // The accepted file's format record.
    const TWaveFormatFields& Format() const { return FFormat; }
    // Bytes of the samples as interleaved stereo, 16-bit little-endian: for a
    // mono file twice the data chunk's size.
    uint64_t Size() const { return FMono ? 2 * FDataBytes : FDataBytes; }
    // Bytes Offset to Offset + Bytes of them (Offset a whole number of stereo
    // frames, the range inside Size()): in place for a stereo file; for a mono
    // one widened into a buffer that the next call reuses, with a last odd
    // byte, which has no sample, read as zero.
    char* Block(uint64_t Offset, uint64_t Bytes);

private:
    TWaveFileCheck ReadSamples(HMMIO File, uint32_t DeclaredBytes);

    bool FIgnoreSampleRate = false;     // any sample rate passes
    TWaveFormatFields FFormat;          // the accepted file's format record
    bool FMono = false;                 // one channel: widened block by block
    std::unique_ptr<char[]> FData;      // the data chunk as read, or empty
    uint64_t FDataBytes = 0;            // bytes in FData
    std::unique_ptr<char[]> FBlock;     // a mono file's widened block
    uint64_t FBlockBytes = 0;           // bytes FBlock holds room for
};
