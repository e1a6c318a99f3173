#pragma once
// Walks a WAV file's chunks from the front, as a pipe allows: the RIFF (or
// RF64) header, an RF64 "ds64" chunk with the real sizes, the "fmt " record,
// other chunks skipped with their pad byte, up to the start of the "data"
// chunk's samples. The RIFF size is not trusted: the walk goes on to the end
// of the file whatever it says, and a size that does not fit the chunks or the
// file is noted. A data size that recorders writing to a pipe leave in place
// of the real one means "read to the end of the file".

#include "report/wavformatrecord.h"
#include "report/wavinput.h"

#include <cstdint>
#include <string>

namespace measure {

// Said of a recording that holds no full block of 4410 frames.
inline constexpr const char* ShorterThanABlock = "shorter than one 100 ms block";

struct TWavLayout {
    TPcmFormat Format;              // the accepted format record
    uint64_t DataStart = 0;         // offset of the first sample in the file
    uint64_t DeclaredDataBytes = 0; // the data size as declared (the ds64 one for RF64)
    bool SizeUnknown = false;       // a placeholder size: the samples run to the end of the file
    uint64_t RiffEnd = 0;           // where the RIFF chunk says it ends; 0 when its size is a placeholder
};

// Reads Input up to the first sample; throws EWavFileError saying what the
// file is when it is not a WAV file that is measured.
TWavLayout ReadWavHeader(TWavInput& Input);

// What is said of a RIFF size that does not fit the chunks in it or the
// file; empty when it fits, or when it is a placeholder.
std::string RiffSizeNote(const TWavLayout& Layout, const TWavInput& Input);

} // namespace measure
