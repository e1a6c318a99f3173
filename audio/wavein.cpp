#include "audio/wavein.h"

#include "audio/wavefilereader.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"

#include <limits>

namespace {

constexpr int32_t DefaultBufferSamples = 4410; // frames: 100 ms at 44,100 Hz
constexpr int32_t MinBufferSamples = 1;
// A buffer's length in bytes must fit the header's 32-bit dwBufferLength.
constexpr int32_t MaxBufferSamples =
    static_cast<int32_t>(std::numeric_limits<uint32_t>::max() / DefaultWaveFormat.nBlockAlign);
constexpr unsigned ErrorTextChars = 100; // the device's text for an error, at most
constexpr uint32_t HeaderBytes = sizeof(wavehdr_tag);
constexpr uint32_t DeviceLoops = 1;

} // namespace

TWaveIn::TWaveIn(TComponent* AOwner) : TComponent(AOwner)
{
    FEnabled = false;
    FWaveIn = nullptr;
    FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
    FWaveFormat = DefaultWaveFormat;
    for (size_t i = 0; i < FHeaders.size(); ++i) {
        FHeaderMem[i] = std::make_unique<wavehdr_tag>();
        FHeaders[i] = FHeaderMem[i].get();
    }
    SetBufferSamples(DefaultBufferSamples);
    FAutoStart = false;
    FState = wsClosed;
}

TWaveIn::~TWaveIn()
{
    // No event fires while the component goes.
    FOnOpen = nullptr;
    FOnClose = nullptr;
    FOnData = nullptr;
    FOnLost = nullptr;
    FEnabled = false;
    Reopen();
    DeallocateHWnd(FWindowHandle);
}

void TWaveIn::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Reopen();
}

void TWaveIn::SetOnOpen(TNotifyEvent Value)
{
    FOnOpen = std::move(Value);
    Reopen();
}

void TWaveIn::SetOnClose(TNotifyEvent Value)
{
    FOnClose = std::move(Value);
    Reopen();
}

void TWaveIn::SetOnData(THaveDataEvent Value)
{
    FOnData = std::move(Value);
    Reopen();
}

void TWaveIn::SetAutoStart(bool Value)
{
    FAutoStart = Value;
    FEnabled = false;
    Reopen();
}

void TWaveIn::SetBufferSamples(int32_t Value)
{
    if (Value == FBufferSamples)
        return;
    // A file feed divides by the block length, and the device needs room for a frame.
    if (Value < MinBufferSamples || Value > MaxBufferSamples)
        throw EBufferSamplesError(Format("BufferSamples must be from %d to %d frames, not %d", MinBufferSamples,
                                         MaxBufferSamples, Value));
    // The new buffers come first, so that a failed allocation changes nothing.
    const size_t bytes = static_cast<size_t>(Value) * FWaveFormat.nBlockAlign;
    std::array<std::unique_ptr<char[]>, 2> fresh{std::make_unique<char[]>(bytes), std::make_unique<char[]>(bytes)};
    const bool wasEnabled = FEnabled;
    FEnabled = false;
    Reopen();
    FBufferMem = std::move(fresh);
    for (size_t i = 0; i < FBuffers.size(); ++i)
        FBuffers[i] = FBufferMem[i].get();
    FBufferSamples = Value;
    if (wasEnabled) {
        FEnabled = true;
        Reopen();
    }
}

void TWaveIn::Start()
{
    if (FState != wsOpening)
        return;
    FState = wsRunning;
    EndCaptureOnError(waveInStart(FWaveIn));
}

void TWaveIn::Reopen()
{
    CloseDevice();
    if (!FEnabled)
        return;
    OpenDevice();
}

void TWaveIn::CloseDevice()
{
    if (!FWaveIn)
        return;
    FState = wsClosing;
    // The reset returns both buffers; their notifications are ignored later.
    waveInStop(FWaveIn);
    waveInReset(FWaveIn);
    if (waveInClose(FWaveIn) != MMSYSERR_NOERROR) {
        // No notification will come: close down here, as it would have.
        Guarded([this] { HandleClose(); });
        return;
    }
    // Only this window's close notification is taken; everything else stays queued.
    MSG message;
    if (GetMessage(message, FWindowHandle, MM_WIM_CLOSE, MM_WIM_CLOSE))
        DispatchMessage(message);
}

void TWaveIn::OpenDevice()
{
    FState = wsOpening;
    FStatus = waveInOpen(&FWaveIn, WAVE_MAPPER, &FWaveFormat, FWindowHandle, 0, CALLBACK_WINDOW);
    if (FStatus == MMSYSERR_NOERROR)
        return;
    char text[ErrorTextChars + 1];
    waveInGetErrorText(FStatus, text, sizeof text);
    throw EWaveInError(Format("Error %d opening wave input - %s", static_cast<int>(FStatus), text));
}

void TWaveIn::EndCaptureOnError(MMRESULT Result)
{
    if (Result != MMSYSERR_NOERROR)
        InputLost(Result);
}

void TWaveIn::InputLost(MMRESULT Error)
{
    // Closed as Stop closes it, so OnClose runs and the owner sees a stopped
    // input; then told once, like a failed open.
    SetEnabled(false);
    if (FOnLost)
        FOnLost(this);
    char text[ErrorTextChars + 1];
    waveInGetErrorText(Error, text, sizeof text);
    throw EWaveInError(Format("Error %d reading wave input - %s", static_cast<int>(Error), text));
}

template <class THandler>
void TWaveIn::Guarded(THandler Handler)
{
    try {
        Handler();
    } catch (...) {
        Application.HandleException(this);
    }
}

void TWaveIn::WndProc(TMessage& Message)
{
    // Notifications of a device closed earlier (its returned buffers, an open
    // that was never handled) are not this device's business.
    const bool fromDevice = FWaveIn && reinterpret_cast<HWAVEIN>(Message.WParam) == FWaveIn;
    switch (Message.Msg) {
    case MM_WIM_OPEN:
        if (fromDevice)
            Guarded([this] { HandleOpen(); });
        break;
    case MM_WIM_CLOSE:
        Guarded([this] { HandleClose(); });
        break;
    case MM_WIM_DATA:
        if (fromDevice) {
            FCurrentHeader = reinterpret_cast<wavehdr_tag*>(Message.LParam);
            Guarded([this] { HandleData(); });
        }
        break;
    case MM_WIM_LOST:
        if (fromDevice)
            Guarded([this, &Message] { InputLost(static_cast<MMRESULT>(Message.LParam)); });
        break;
    default:
        Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    }
}

void TWaveIn::HandleOpen()
{
    if (FState != wsOpening)
        return;
    wavehdr_tag& first = *FHeaders[0];
    first.lpData = FBuffers[0];
    first.dwBufferLength = FWaveFormat.nBlockAlign * static_cast<uint32_t>(FBufferSamples);
    first.dwBytesRecorded = 0;
    first.dwUser = 0;
    first.dwFlags = 0;
    first.dwLoops = DeviceLoops;
    first.lpNext = nullptr;
    first.reserved = 0;
    *FHeaders[1] = first;
    FHeaders[1]->lpData = FBuffers[1];
    for (wavehdr_tag* header : FHeaders) {
        EndCaptureOnError(waveInPrepareHeader(FWaveIn, header, HeaderBytes));
        EndCaptureOnError(waveInAddBuffer(FWaveIn, header, HeaderBytes));
    }
    FBufferNumber = 0;
    if (FOnOpen)
        FOnOpen(this);
    if (FAutoStart)
        Start();
}

void TWaveIn::HandleData()
{
    if (FState != wsRunning)
        return;
    // A block of any other length is counted but not passed on.
    if (FCurrentHeader->dwBytesRecorded / FWaveFormat.nBlockAlign == static_cast<uint32_t>(FBufferSamples) && FOnData)
        FOnData(*FCurrentHeader);
    ++FBufferNumber;
    Requeue(FCurrentHeader);
}

void TWaveIn::Requeue(wavehdr_tag* Header)
{
    if (Header->dwUser == FileBlockMarker || FState != wsRunning)
        return;
    EndCaptureOnError(waveInAddBuffer(FWaveIn, Header, HeaderBytes));
}

void TWaveIn::HandleClose()
{
    for (wavehdr_tag* header : FHeaders)
        waveInUnprepareHeader(FWaveIn, header, HeaderBytes);
    FWaveIn = nullptr;
    FState = wsClosed;
    if (FOnClose)
        FOnClose(this);
}

void TWaveIn::ProcessFile(const std::string& FileName)
{
    TWaveFileReader reader(FIgnoreFileSampleRate);
    FFileCheck = reader.Read(FileName);
    // The one refusal told here; the others are left to the owner.
    if (FFileCheck == wcNotPcm16)
        Application.MessageBox(RejectedFileMessage, FileName, MB_OK);
    if (FFileCheck != wcAccepted)
        return;
    FFileFormat = reader.Format();
    FFileFrames = reader.Size() / FWaveFormat.nBlockAlign;
    FeedBlocks(reader);
}

void TWaveIn::FeedBlocks(TWaveFileReader& Reader)
{
    const uint64_t blockBytes = static_cast<uint64_t>(FBufferSamples) * FWaveFormat.nBlockAlign;
    const uint64_t bytes = Reader.Size();
    wavehdr_tag header;
    header.dwBufferLength = static_cast<uint32_t>(blockBytes);
    header.dwBytesRecorded = static_cast<uint32_t>(blockBytes);
    header.dwUser = FileBlockMarker;
    // At most 2 × 4 GB of data in blocks of at least 4 bytes: the count fits.
    FBufferCount = static_cast<int32_t>(bytes / blockBytes);
    SetEnabled(false);

    // However the feed ends (a handler may raise), the component is left closed.
    struct TFeedEnd {
        TWaveIn& Owner;
        ~TFeedEnd()
        {
            Owner.FState = wsClosed;
            Owner.FCurrentHeader = nullptr;
        }
    } feedEnd{*this};
    FState = wsRunning;
    uint64_t offset = 0;
    for (int32_t i = 0; i < FBufferCount; ++i) {
        FBufferNumber = i;
        header.lpData = Reader.Block(offset, blockBytes);
        FCurrentHeader = &header;
        HandleData();
        offset += blockBytes;
    }
    // The tail of less than one block is handed over, and not shown, as a short block.
    if (offset < bytes) {
        header.dwBytesRecorded = static_cast<uint32_t>(bytes - offset);
        header.lpData = Reader.Block(offset, bytes - offset);
        ++FBufferNumber;
        FCurrentHeader = &header;
        HandleData();
    }
}
