#pragma once
// A four-part version number (two 16-bit parts in each half) with the text
// form that a string table may give it.

#include "platform/kernel/component.h"

#include <cstdint>
#include <string>

class TVersionNumberInformation : public TObject {
public:
    TVersionNumberInformation(uint32_t AMS, uint32_t ALS);

    bool Valid() const { return FValid; }
    void SetValid(bool Value) { FValid = Value; }
    uint32_t MS() const { return FMS; }
    void SetMS(uint32_t Value) { FMS = Value; }
    uint32_t LS() const { return FLS; }
    void SetLS(uint32_t Value) { FLS = Value; }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { FText = Value; }

    // Part 0 to 3, most significant first; 0 for any other index or when not valid.
    uint16_t GetPart(int Index) const;
    // Empty when not valid; Text when it is not empty; otherwise the four parts
    // as plain decimal numbers joined by points.
    std::string AsString() const;

private:
    bool FValid = false; // a version block was read
    uint32_t FMS = 0;    // parts 0 (high 16 bits) and 1 (low 16 bits)
    uint32_t FLS = 0;    // parts 2 (high 16 bits) and 3 (low 16 bits)
    std::string FText;   // the version as the string table spells it; may be empty
};
