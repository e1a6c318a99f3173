#include "versinfo/versionnumberinformation.h"

#include "platform/kernel/sysutils.h"

namespace {

constexpr unsigned PartBits = 16;
constexpr uint32_t PartMask = 0xFFFF;

} // namespace

TVersionNumberInformation::TVersionNumberInformation(uint32_t AMS, uint32_t ALS) : FMS(AMS), FLS(ALS) {}

uint16_t TVersionNumberInformation::GetPart(int Index) const
{
    if (!FValid)
        return 0;
    switch (Index) {
    case 0: return static_cast<uint16_t>(FMS >> PartBits);
    case 1: return static_cast<uint16_t>(FMS & PartMask);
    case 2: return static_cast<uint16_t>(FLS >> PartBits);
    case 3: return static_cast<uint16_t>(FLS & PartMask);
    default: return 0;
    }
}

std::string TVersionNumberInformation::AsString() const
{
    if (!FValid)
        return std::string();
    if (!FText.empty())
        return FText;
    return Format("%d.%d.%d.%d", GetPart(0), GetPart(1), GetPart(2), GetPart(3));
}
