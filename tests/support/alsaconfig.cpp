#include "support/alsaconfig.h"
#include "support/riffbuilder.h"

#include <alsa/asoundlib.h>

#include <cstdlib>

namespace alsaconfig {

void UseText(const std::string& Text)
{
    static int generation = 0;
    const std::string path = riffbuilder::ScratchPath("asound-" + std::to_string(++generation) + ".conf");
    riffbuilder::WriteFile(path, Text);
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
    snd_config_update_free_global();
}

void UseCaptureFile(const std::string& RawPath)
{
    UseText("pcm.!default {\n"
            "  type file\n"
            "  slave.pcm { type null }\n"
            "  file \"/dev/null\"\n"
            "  infile \"" + RawPath + "\"\n"
            "  format \"raw\"\n"
            "}\n");
}

std::string UseCaptureSamples(const std::vector<int16_t>& Values)
{
    static int generation = 0;
    const std::string path = riffbuilder::ScratchPath("capture-" + std::to_string(++generation) + ".raw");
    riffbuilder::WriteFile(path, riffbuilder::Samples(Values));
    UseCaptureFile(path);
    return path;
}

void UseNoDefault()
{
    UseText("# no devices at all\n");
}

} // namespace alsaconfig
