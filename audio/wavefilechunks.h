#pragma once
// Finds and checks the chunks of a WAV file with the window's acceptance rules
// (quimbrel-measure has its own, in report/wavheader.h): a RIFF chunk of form "WAVE"
// from the start of the file; in it a "fmt " chunk whose record says 16-bit
// PCM (at 44,100 Hz unless any rate passes); then, after it, a "data" chunk
// that the file holds in full. The first problem found ends the search and is
// named; an accepted file is left open at its first sample, for the caller to
// read in one piece or block by block. A file cut short is left open there
// too (when its data chunk was found), so that a reader may take what it holds.

#include "platform/riff/mmio.h"

#include <cstdint>
#include <string>

// The window's words for a file that is not 16-bit PCM (whatever the reason).
inline constexpr const char* RejectedFileMessage = "File is not a 16-bit, 44.1 KHz file";

// The outcome, in the order of the checks: any outcome after wcNotPcm16 means
// that the format record was read and accepted.
enum TWaveFileCheck {
    wcCannotOpen,     // the file cannot be opened for reading
    wcNotRiffWave,    // no RIFF chunk of form "WAVE"
    wcNoFormat,       // no "fmt " chunk in it
    wcFormatCutShort, // the file ends inside the format record
    wcNotPcm16,       // not 16-bit PCM, a record under 16 bytes, or a rate that is not accepted
    wcNoData,         // no "data" chunk after "fmt "
    wcDataCutShort,   // the data chunk declares more bytes than the file holds, or the
                      // file ends before its RIFF chunk does and no "data" chunk was found
    wcTooLarge,       // the data cannot be held in memory (told by a reader that holds it whole)
    wcAccepted,       // every chunk found; the file stands at the first sample
};

// The fields of the format record that decide acceptance.
struct TWaveFormatFields {
    uint16_t FormatTag = 0;     // 1 = PCM
    uint16_t Channels = 0;      // 1 is widened to stereo; any other count is read as stereo
    uint32_t SampleRate = 0;    // frames per second
    uint16_t BitsPerSample = 0; // 16 is accepted
};

class TWaveFileChunks {
public:
    // Opens FileName and checks it; AnyRate accepts every sample rate.
    TWaveFileChunks(const std::string& FileName, bool AnyRate);
    ~TWaveFileChunks();
    TWaveFileChunks(const TWaveFileChunks&) = delete;
    TWaveFileChunks& operator=(const TWaveFileChunks&) = delete;

    TWaveFileCheck Check() const { return FCheck; }
    bool FormatAccepted() const { return FCheck > wcNotPcm16; }
    // The open file; nullptr for wcCannotOpen.
    HMMIO File() const { return FFile; }
    // The operating system's error number when the file could not be opened.
    int OpenError() const { return FOpenError; }

    // The record's fields, once it has been read (from wcNotPcm16 on, unless
    // the record was under 16 bytes).
    const TWaveFormatFields& Format() const { return FFormat; }
    // The chunks as found: data offset and declared size. A chunk that was not
    // reached stays all zero.
    const MMCKINFO& RiffChunk() const { return FRiff; }
    const MMCKINFO& FormatChunk() const { return FFormatChunk; }
    const MMCKINFO& DataChunk() const { return FData; }
    // Bytes that the file holds from the start of the data chunk's samples.
    uint64_t DataBytesPresent() const { return FDataBytesPresent; }
    // The data chunk's size in bytes, as declared.
    uint64_t DataBytes() const { return FDataBytes; }

private:
    TWaveFileCheck CheckChunks(bool AnyRate);
    bool ReadFormat();

    HMMIO FFile = nullptr;              // open from construction to destruction, unless the open failed
    int FOpenError = 0;                 // errno of a failed open, else 0
    TWaveFileCheck FCheck = wcCannotOpen; // the outcome of the checks
    TWaveFormatFields FFormat;          // the record's fields as read
    MMCKINFO FRiff;                     // the RIFF "WAVE" chunk
    MMCKINFO FFormatChunk;              // the "fmt " chunk
    MMCKINFO FData;                     // the "data" chunk
    uint64_t FDataBytesPresent = 0;     // bytes in the file from the data chunk's samples on
    uint64_t FDataBytes = 0;            // behind DataBytes
    uint64_t FFileBytes = 0;            // the file's length
};
