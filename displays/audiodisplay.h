#pragma once
// The base of displays that a wave input feeds with blocks of samples: it is
// bound to a source, keeps per-column working buffers sized to its inner
// width, and takes every full block through ProcessBlock, where it may ask
// for the input to stop. It draws nothing of its own beyond the background
// and frame; a subclass draws in DrawContent.

#include "displays/flickerlessborderedcustomcontrol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class TWaveIn;

class TAudioDisplay : public TFlickerlessBorderedCustomControl {
public:
    static constexpr size_t ColumnBuffer8Count = 2; // buffers of 8 bytes per column
    static constexpr size_t ColumnBuffer4Count = 7; // buffers of 4 bytes per column

    explicit TAudioDisplay(TComponent* AOwner);
    ~TAudioDisplay() override;

    TWaveIn* Source() const { return FSource; }

    // A new mode clears the block counter; the current one does nothing.
    virtual void SetMode(bool Value);
    // Binds the display to a wave input and starts its counting afresh. The
    // source is not watched: nothing here reads it.
    virtual void SetSource(TWaveIn* Value);
    virtual void SetUpperValue(int32_t Value);
    virtual void SetLowerValue(int32_t Value);
    // One full block: FrameCount interleaved stereo frames of signed 16-bit
    // samples, left first. Continue arrives true; setting it false asks the
    // analyser to switch the input off. The base display leaves it true.
    virtual void ProcessBlock(int16_t* Samples, int32_t FrameCount, bool& Continue);

    // A new width of at least 3 pixels makes new buffers for the new inner
    // width; a height change, or a width too small for one column, keeps them.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The analyser clears the block counter whenever it is switched on or off.
    void ClearBlockCount() { FBlockCount = 0; }

    // Bytes of each working buffer; 0 while there are none.
    size_t ColumnBuffer8Bytes() const { return FBufferColumns * sizeof(int64_t); }
    size_t ColumnBuffer4Bytes() const { return FBufferColumns * sizeof(int32_t); }

protected:
    // Reserved for subclasses: an empty hook that nothing calls.
    virtual void AudioDisplayHook();

    // Releases all nine buffers and makes new ones of Columns columns each.
    void AllocateBuffers(int Columns);
    void ReleaseBuffers();

    TWaveIn* FSource = nullptr; // behind Source; not owned, not watched
    // Drawing colour for subclasses, 0x00BBGGRR; pale yellow (the meter's bar colour).
    TColor FForegroundColour = 0;
    // A display setting for subclasses; true after construction.
    bool FMode = true;
    // One 8-byte value per inner column each; absent until the first width of 3 or more.
    std::array<std::unique_ptr<int64_t[]>, ColumnBuffer8Count> FColumnBuffers8;
    // One 4-byte value per inner column each; made together with FColumnBuffers8.
    std::array<std::unique_ptr<int32_t[]>, ColumnBuffer4Count> FColumnBuffers4;
    int32_t FUpperValue = 0;  // upper limit setting for subclasses; 0 after construction
    int32_t FLowerValue = 0;  // lower limit setting for subclasses; -80 after construction
    int32_t FPosition = 0;    // a column position for subclasses; 0 after new buffers or a new source
    int32_t FBlockCount = 0;  // a block counter for subclasses; 0 after a new source, mode or Enabled write
    size_t FBufferColumns = 0; // columns the buffers were made for (FInnerWidth then); 0 while none exist
};
