#pragma once
// Resources embedded in the program, looked up by name.

#include <cstdint>
#include <string>
#include <vector>

struct TDecodedImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels; // 0xAARRGGBB, rows top to bottom (bitmaps are opaque)
};

// Reads the embedded resource file (for example "forms/Form1.qfm"); false when absent.
bool ReadResource(const std::string& Path, std::vector<uint8_t>& Data);

// Decodes the embedded bitmap resource of that name ("TLED" is bitmaps/TLED.bmp).
bool LoadResourceImage(const std::string& Name, TDecodedImage& Image);

// The program's own icon, for its windows and About boxes: icons/<ProgramIconName>.png.
inline constexpr const char* ProgramIconName = "quimbrel";

// Decodes the embedded icon of that name (icons/<Name>.png), keeping its transparency.
bool LoadIconImage(const std::string& Name, TDecodedImage& Image);

// The names of the embedded files in a folder ("forms"), sorted.
std::vector<std::string> ListResources(const std::string& Folder);
