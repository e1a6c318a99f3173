#include "platform/alsa/capturestream.h"

namespace {

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void TCaptureStream::SilenceLibraryMessages()
{
    snd_lib_error_set_handler(IgnoreAlsaMessage);
}
