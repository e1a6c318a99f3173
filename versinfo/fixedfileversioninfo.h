#pragma once
// A view of the fixed version record inside a version block: the two version
// numbers and the build flags, all zero or empty while there is no record.

#include "platform/kernel/component.h"
#include "platform/verres/winver.h"
#include "versinfo/predefs.h"

#include <cstdint>

class TFixedFileVersionInfo : public TObject {
public:
    // The record inside the owner's version block, or nullptr; not owned.
    const VS_FIXEDFILEINFO* FixedRecord() const { return FFixedRecord; }
    void SetFixedRecord(const VS_FIXEDFILEINFO* Value) { FFixedRecord = Value; }

    // The record's fields of the same meaning; 0 without a record.
    uint32_t FileVersionMS() const;
    uint32_t FileVersionLS() const;
    uint32_t ProductVersionMS() const;
    uint32_t ProductVersionLS() const;

    // The flags that dwFileFlags sets (dwFileFlagsMask is not applied); empty
    // without a record.
    TBuildFlags GetFlags() const;

private:
    const VS_FIXEDFILEINFO* FFixedRecord = nullptr; // inside the owner's block, or nullptr
};
