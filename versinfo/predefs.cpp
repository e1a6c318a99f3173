#include "versinfo/predefs.h"

#include "platform/verres/resstrings.h"
#include "platform/verres/winver.h"

const std::array<uint32_t, BuildFlagCount> BuildFlagBits = {
    VS_FF_DEBUG, VS_FF_INFOINFERRED, VS_FF_PATCHED, VS_FF_PRERELEASE, VS_FF_PRIVATEBUILD, VS_FF_SPECIALBUILD,
};

const std::array<int, PreDefCount> PreDefCaptionIds = {
    65528, 65529, 65530, 65531, 65532, 65533, 65534, 65535, 65504, 65505, 65506,
};

const std::array<int, BuildFlagCount> BuildFlagCaptionIds = {65520, 65521, 65522, 65523, 65524, 65525};

namespace {

template <size_t Count>
std::array<std::string, Count> LoadCaptions(const std::array<int, Count>& Ids)
{
    std::array<std::string, Count> captions;
    for (size_t i = 0; i < Count; ++i)
        captions[i] = LoadResString(Ids[i]);
    return captions;
}

} // namespace

// The string table is constant data, ready before any of this runs.
const std::array<std::string, PreDefCount> PreDefCaptions = LoadCaptions(PreDefCaptionIds);
const std::array<std::string, BuildFlagCount> BuildFlagCaptions = LoadCaptions(BuildFlagCaptionIds);
