#pragma once
// Chooses the ALSA configuration of the test process: ALSA_CONFIG_PATH names a
// file written here, and ALSA's cached configuration is dropped so that the
// next open reads it.

#include <cstdint>
#include <string>
#include <vector>

namespace alsaconfig {

// Makes "default" a capture device that plays back RawPath: signed 16-bit
// little-endian stereo at 44,100 Hz, as raw bytes. After the file's end the
// samples are not defined, so tests capture less than the file holds.
void UseCaptureFile(const std::string& RawPath);

// Writes Values as raw 16-bit little-endian samples into a scratch file and
// makes it the capture source; returns its path.
std::string UseCaptureSamples(const std::vector<int16_t>& Values);

// Leaves "default" undefined, so that opening it fails.
void UseNoDefault();

// Uses Text as the whole configuration.
void UseText(const std::string& Text);

} // namespace alsaconfig
