#pragma once
// TWaveIn: captures the default wave input and hands every completed block to
// its owner on the user-interface thread, with two buffers circulating between
// the device and the program. Enabled opens and closes the device; OnOpen,
// OnData and OnClose report its life. ProcessFile pushes a WAV file's samples
// through the same data handling.
//
// An input lost while it captures (the device says so, or refuses to start or
// to take a buffer back) is closed as Enabled false closes it, OnLost follows,
// and EWaveInError "Error N reading wave input - TEXT" goes to the
// application's exception display once.

#include "audio/wavecommon.h"
#include "audio/wavefilechunks.h"
#include "platform/kernel/component.h"
#include "platform/kernel/messages.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TWaveFileReader;

enum TWaveInState : uint8_t {
    wsClosed = 0,  // no device
    wsOpening = 1, // device opened, waiting for its open notification or for Start
    wsRunning = 2, // capturing (or feeding a file); data notifications are handled
    wsClosing = 3, // stop, reset and close issued; waiting for the close notification
};

class TWaveIn : public TComponent {
public:
    explicit TWaveIn(TComponent* AOwner);
    ~TWaveIn() override;

    // Result of the last open attempt: 0 = success, else the device's error number.
    uint32_t Status() const { return FStatus; }

    bool Enabled() const { return FEnabled; }
    // Opens (true) or closes (false) the device; writing the current value does nothing.
    // Raises EWaveInError when the device cannot be opened; Enabled stays true then.
    virtual void SetEnabled(bool Value);

    // Writing an event closes and reopens an open device.
    const TNotifyEvent& OnOpen() const { return FOnOpen; }
    void SetOnOpen(TNotifyEvent Value);
    const TNotifyEvent& OnClose() const { return FOnClose; }
    void SetOnClose(TNotifyEvent Value);
    const THaveDataEvent& OnData() const { return FOnData; }
    void SetOnData(THaveDataEvent Value);
    // After a lost input has been closed (OnClose has run), before its error
    // is shown. Writing it only stores it.
    const TNotifyEvent& OnLost() const { return FOnLost; }
    void SetOnLost(TNotifyEvent Value) { FOnLost = std::move(Value); }

    // Start capture by itself once the device has opened. Writing it, whatever
    // the value, disables the component and closes the device.
    bool AutoStart() const { return FAutoStart; }
    void SetAutoStart(bool Value);

    // Frames per block, 1 or more (default 4410, 100 ms). A new value replaces
    // both buffers and reopens an enabled device; a value below 1 raises
    // EBufferSamplesError and changes nothing.
    int32_t BufferSamples() const { return FBufferSamples; }
    virtual void SetBufferSamples(int32_t Value);

    // Index of the block being handled: counts from 0 after each open or file start.
    int32_t BufferNumber() const { return FBufferNumber; }
    // Full blocks of the last file fed by ProcessFile.
    int32_t BufferCount() const { return FBufferCount; }

    // ProcessFile accepts any sample rate.
    bool IgnoreFileSampleRate() const { return FIgnoreFileSampleRate; }
    void SetIgnoreFileSampleRate(bool Value) { FIgnoreFileSampleRate = Value; }

    // Begins capture on a device that has opened; does nothing in any other
    // state. A device that cannot start ends as a lost input, and the error
    // leaves Start.
    void Start();

    // Feeds a 16-bit PCM WAV file, block by block, through HandleData, and leaves
    // the component disabled. A file of another format is reported in a message
    // box; a file that cannot be read is ignored silently.
    void ProcessFile(const std::string& FileName);
    // How the last ProcessFile found its file: wcAccepted when it was fed (and
    // before any file), otherwise why nothing of it was, for the owner to tell.
    TWaveFileCheck FileCheck() const { return FFileCheck; }
    // The format record of the last file fed (its channels and rate as the file
    // gives them); all zero before any.
    const TWaveFormatFields& FileFormat() const { return FFileFormat; }
    // Stereo frames of the last file fed (a mono file's widened), its tail included.
    uint64_t FileFrames() const { return FFileFrames; }

protected:
    // The device has opened: queue both buffers, OnOpen, then Start with AutoStart.
    virtual void HandleOpen();
    // The device has closed: unprepare the buffers, forget the device, OnClose.
    virtual void HandleClose();
    // One block, FCurrentHeader: OnData for a full block, count it, give it back to the device.
    virtual void HandleData();

    // Gives a device block back to the device, unless it carries file data or
    // capture is no longer running (a handler closed or reopened the device).
    void Requeue(wavehdr_tag* Header);

    // Brings the device in line with FEnabled: closes an open one (its close
    // notification handled before returning), then opens one if enabled.
    void Reopen();

    HWND FWindowHandle = nullptr;                         // hidden window that receives the device's notifications
    bool FEnabled = false;                                // behind Enabled
    std::array<std::unique_ptr<wavehdr_tag>, 2> FHeaderMem; // owns the two headers, from construction to destruction
    std::array<wavehdr_tag*, 2> FHeaders{};               // the two headers
    std::array<std::unique_ptr<char[]>, 2> FBufferMem;    // owns the two sample buffers, FBufferSamples × 4 bytes each
    std::array<char*, 2> FBuffers{};                      // the two sample buffers
    bool FAutoStart = false;                              // behind AutoStart
    bool FIgnoreFileSampleRate = false;                   // behind IgnoreFileSampleRate
    HWAVEIN FWaveIn = nullptr;                            // the open device; empty when none
    uint32_t FStatus = 0;                                 // behind Status
    TWaveInState FState = wsClosed;                       // which notifications are acted on
    int32_t FBufferSamples = 0;                           // behind BufferSamples; frames per block, 1 or more once constructed
    int32_t FBufferNumber = 0;                            // behind BufferNumber
    int32_t FBufferCount = 0;                             // behind BufferCount
    tWAVEFORMATEX FWaveFormat = DefaultWaveFormat;        // the format asked of the device
    wavehdr_tag* FCurrentHeader = nullptr;                // header of the block being handled
    TNotifyEvent FOnOpen;                                 // behind OnOpen
    THaveDataEvent FOnData;                               // behind OnData
    TNotifyEvent FOnClose;                                // behind OnClose
    TNotifyEvent FOnLost;                                 // behind OnLost
    TWaveFileCheck FFileCheck = wcAccepted;               // behind FileCheck
    TWaveFormatFields FFileFormat;                        // behind FileFormat
    uint64_t FFileFrames = 0;                             // behind FileFrames

private:
    void WndProc(TMessage& Message);
    // Runs one of the handlers; an exception goes to the application's display.
    template <class THandler>
    void Guarded(THandler Handler);
    void CloseDevice();
    void OpenDevice();
    // Ends capture as a lost input when Result is an error.
    void EndCaptureOnError(MMRESULT Result);
    // Closes the lost input, OnLost, then raises its error.
    [[noreturn]] void InputLost(MMRESULT Error);
    // Hands the blocks of Reader to HandleData, a tail as one short block.
    void FeedBlocks(TWaveFileReader& Reader);
};
