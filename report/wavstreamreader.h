#pragma once
// Reads a WAV file block by block, with the window's acceptance rules
// (TWaveFileChunks): 16-bit PCM at any rate but 0; mono widened to stereo.
// Only the blocks asked for are held, so memory stays the same whatever the
// file's length. Unlike the window it reads interrupted recordings: a data
// chunk cut short is read up to the end of the file, and a RIFF or data size
// of 0 or 0xFFFFFFFF (never written) means "to the end of the file".

#include "audio/wavefilechunks.h"
#include "platform/kernel/exception.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace measure {

// A file that cannot be opened, is not a WAV file of the accepted kind, or
// shrinks while it is read. The message names no file.
class EWavFileError : public Exception {
public:
    using Exception::Exception;
};

class TWavStreamReader {
public:
    // Frames per block: 100 ms at 44,100 Hz, the analyser's block.
    static constexpr size_t BlockFrames = 4410;

    // Opens FileName and reads its format; throws EWavFileError.
    explicit TWavStreamReader(const std::string& FileName);

    uint16_t Channels() const { return FChunks.Format().Channels; }
    uint32_t SampleRate() const { return FChunks.Format().SampleRate; }
    // Frames in the data chunk, as far as the file holds it; a file of more
    // than two channels is read as stereo frames of 4 bytes, as the window reads it.
    uint64_t DataFrames() const { return FDataFrames; }
    // Full blocks; a tail shorter than a block is not measured.
    uint64_t BlockCount() const { return FDataFrames / BlockFrames; }
    // The file ends before its data chunk does, or before its data chunk begins.
    bool CutShort() const { return FChunks.Check() == wcDataCutShort; }
    // The data chunk's header was found (it may still be cut short).
    bool DataChunkFound() const { return FChunks.DataChunk().ckid != 0; }
    // Full blocks that the data chunk declares.
    uint64_t DeclaredBlocks() const { return FChunks.DataBytes() / FFrameBytes / BlockFrames; }
    uint64_t BlocksRead() const { return FBlocksRead; }

    // Reads up to MaxBlocks full blocks at once into Samples (2 x BlockFrames
    // values each) and returns how many; 0 when none is left. When the file
    // ends early, the full blocks read are returned and the next call throws
    // EWavFileError; with none read it throws at once.
    size_t ReadBlocks(int16_t* Samples, size_t MaxBlocks);

private:

    TWaveFileChunks FChunks;        // the open file, positioned in the data chunk
    uint64_t FFrameBytes = 0;       // bytes of one frame in the file: 2 for mono, else 4
    uint64_t FDataFrames = 0;       // frames present in the data chunk, after widening
    uint64_t FBlocksRead = 0;       // full blocks handed out so far
    bool FEndedEarly = false;       // the last read fell short: the next one fails
};

} // namespace measure
