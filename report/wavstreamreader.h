#pragma once
// Reads a WAV recording block by block for quimbrel-measure: a regular file,
// or a stream on standard input. 16-bit PCM (format tag 1 or
// WAVE_FORMAT_EXTENSIBLE), RIFF or RF64, any rate but 0, any number of
// channels: channels 1 and 2 are measured as left and right, and mono is
// widened to stereo. Only the blocks asked for are held, so memory stays the
// same whatever the recording's length. A data chunk cut short is read up to
// the end of the file; a placeholder size left by a streaming recorder means
// "to the end of the file" (see wavheader.h).

#include "report/wavheader.h"
#include "report/wavinput.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace measure {

class TWavStreamReader {
public:
    // Frames per block: 100 ms at 44,100 Hz, the analyser's block.
    static constexpr size_t BlockFrames = 4410;

    // Opens FileName (standard input with StandardInput) and reads its header;
    // throws EWavFileError.
    explicit TWavStreamReader(const std::string& FileName, bool StandardInput = false);

    uint16_t Channels() const { return FLayout.Format.Channels; }
    uint32_t SampleRate() const { return FLayout.Format.SampleRate; }
    // The frame count is known before reading: a regular file. On a pipe the
    // counts below grow as frames are read, and are final once ReadBlocks returns 0.
    bool SizeKnown() const { return FInput.SizeKnown(); }
    // Frames in the data chunk, as far as the file holds it.
    uint64_t DataFrames() const { return FDataFrames; }
    // Full blocks; a tail shorter than a block is not measured.
    uint64_t BlockCount() const { return FDataFrames / BlockFrames; }
    // The header's sizes were a streaming recorder's placeholders: read to the end.
    bool Streamed() const { return FLayout.SizeUnknown; }
    // The file ends before the data chunk that its header declares does.
    bool CutShort() const { return !Streamed() && FDataFrames < DeclaredFrames(); }
    // Full blocks that the data chunk declares.
    uint64_t DeclaredBlocks() const { return DeclaredFrames() / BlockFrames; }
    uint64_t BlocksRead() const { return FBlocksRead; }
    // A line on a RIFF size that does not fit the file; empty when it fits.
    const std::string& RiffNote() const { return FRiffNote; }

    // Reads up to MaxBlocks full blocks at once into Samples (2 x BlockFrames
    // values each) and returns how many; 0 when none is left. When a regular
    // file ends early, the full blocks read are returned and the next call
    // throws EWavFileError; with none read it throws at once.
    size_t ReadBlocks(int16_t* Samples, size_t MaxBlocks);

private:
    uint64_t DeclaredFrames() const { return FLayout.DeclaredDataBytes / FFrameBytes; }
    size_t ReadKnownBlocks(int16_t* Samples, size_t MaxBlocks);
    size_t ReadStreamBlocks(int16_t* Samples, size_t MaxBlocks);
    // Reads up to Frames frames as stereo into Samples; returns the frames read.
    size_t ReadFrames(int16_t* Samples, size_t Frames);

    TWavInput FInput;               // the file or standard input, in the data chunk
    TWavLayout FLayout;             // the format and the sizes the header gives
    std::string FRiffNote;          // behind RiffNote
    uint64_t FFrameBytes = 0;       // bytes of one frame in the file: 2 per channel
    uint64_t FDataFrames = 0;       // a file: frames present; a stream: frames read so far
    uint64_t FBlocksRead = 0;       // full blocks handed out so far
    bool FEnded = false;            // a stream has ended
    bool FEndedEarly = false;       // a file's last read fell short: the next one fails
    std::vector<uint8_t> FFrames;   // frames of other than two channels, before channels 1 and 2 are taken
};

} // namespace measure
