#include "tools/measure/liveinput.h"

namespace measure {

namespace {

std::string Failure(const std::string& PcmName, const char* What, int Error)
{
    return PcmName + ": " + What + ": " + TCaptureStream::ErrorText(Error) + " (error " + std::to_string(-Error) + ")";
}

} // namespace

TLiveInput::TLiveInput(const std::string& PcmName, TStopSignal& Stop) : FPcmName(PcmName), FStop(Stop)
{
    // The sound library's own view of a failure stays off standard error: the
    // tool says it once, in its own words.
    TCaptureStream::SilenceLibraryMessages();
    int err = TCaptureStream::Open(PcmName.c_str(), Channels, FramesPerSecond, FStream);
    if (err < 0)
        throw ELiveInputError(Failure(FPcmName, "cannot be opened for capture", err));
    err = FStream->Start();
    if (err < 0)
        throw ELiveInputError(Failure(FPcmName, "cannot start capture", err));
    FStop.Watch(FStream.get());
}

TLiveInput::~TLiveInput()
{
    FStop.Watch(nullptr);
}

bool TLiveInput::ReadBlock(int16_t* Block)
{
    auto* bytes = reinterpret_cast<char*>(Block);
    size_t filled = 0;
    while (filled < BlockFrames) {
        if (FStop.Requested())
            return false;
        const long got = FStream->Read(bytes + filled * FStream->FrameBytes(), BlockFrames - filled);
        if (got < 0)
            throw ELiveInputError(Failure(FPcmName, "lost while capturing", static_cast<int>(got)));
        filled += static_cast<size_t>(got);
        FFramesRead += static_cast<uint64_t>(got);
    }
    return true;
}

} // namespace measure
