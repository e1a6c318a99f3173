#pragma once
// Builds RIFF and WAV files byte by byte for the tests, including malformed
// ones: lying sizes, missing pad bytes, chunks in unusual orders.

#include <cstdint>
#include <string>
#include <vector>

namespace riffbuilder {

// Four-character identifier, little-endian size, data, and a pad byte when the size is odd.
std::string Chunk(const std::string& Id, const std::string& Data);
// A chunk whose header declares DeclaredSize whatever Data holds; no pad byte is added.
std::string ChunkDeclaring(const std::string& Id, uint32_t DeclaredSize, const std::string& Data);
// "RIFF", its size, the form type, then the body.
std::string Riff(const std::string& FormType, const std::string& Body);

std::string Le16(uint16_t Value);
std::string Le32(uint32_t Value);

// A 16-byte PCM format record (block align and byte rate computed from the rest).
std::string FormatRecord(uint16_t FormatTag, uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample);
std::string FmtChunk(uint16_t FormatTag, uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample);
std::string Samples(const std::vector<int16_t>& Values);

// A plain WAV file: "fmt " then "data".
std::string WavFile(uint16_t Channels, uint32_t SampleRate, const std::vector<int16_t>& Values);

// A fresh path in a per-process scratch folder.
std::string ScratchPath(const std::string& Name);
void WriteFile(const std::string& Path, const std::string& Bytes);
std::string ReadFile(const std::string& Path);

} // namespace riffbuilder
