#pragma once
// The volume of an input that has no control: not Available, Reason says
// why, and every write is refused with that reason.

#include "levelcontrol/inputvolume.h"

#include <string>
#include <utility>

class TAbsentVolume : public TInputVolume {
public:
    explicit TAbsentVolume(std::string Reason) : FReason(std::move(Reason)) {}

    long Min() const override { return 0; }
    long Max() const override { return 0; }
    int Channels() const override { return 0; }
    long ChannelVolume(int) const override { return 0; }
    bool SetChannelVolume(int, long) override { return false; }
    std::string Error() const override { return FReason; }
    bool HasDecibels() const override { return false; }
    double DecibelsAt(long) const override { return 0.0; }
    bool Available() const override { return false; }
    const std::string& Reason() const override { return FReason; }
    bool Refresh() override { return false; }

private:
    std::string FReason;
};
