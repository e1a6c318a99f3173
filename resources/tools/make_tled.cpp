// Writes the lamp picture "TLED": a 15 x 15 Windows bitmap with 4 bits per
// pixel and the standard 16-colour palette, from the pixel table below.
//   make_tled OUTPUT          writes the bitmap
//   make_tled --check FILE    exits 0 when FILE holds exactly that bitmap

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int PictureSize = 15; // pixels, square
constexpr int BitsPerPixel = 4;
constexpr int PaletteEntries = 16;
constexpr int FileHeaderBytes = 14;
constexpr int InfoHeaderBytes = 40;
constexpr int PaletteBytes = PaletteEntries * 4;
constexpr int PixelsPerByte = 8 / BitsPerPixel;
constexpr int RowAlignBytes = 4;
constexpr int RowBytes = ((PictureSize + PixelsPerByte - 1) / PixelsPerByte + RowAlignBytes - 1) / RowAlignBytes
                         * RowAlignBytes;
constexpr int PixelDataOffset = FileHeaderBytes + InfoHeaderBytes + PaletteBytes;
constexpr int FileBytes = PixelDataOffset + RowBytes * PictureSize;
constexpr uint16_t BitmapSignature = 0x4D42; // "BM"
constexpr uint32_t NoCompression = 0;        // BI_RGB

// The standard 16-colour palette as red, green, blue.
constexpr std::array<std::array<uint8_t, 3>, PaletteEntries> Palette = {{
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0x80, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
}};

// Row 0 is the top row. '.' silver, 'K' black, 'M' maroon, 'G' lime, 'W' white.
const std::array<const char*, PictureSize> Rows = {
    ".....MMKKK.....",
    "...MKKKKKKKK...",
    "..MMKGGGGGKMK..",
    ".MMKGG..GGGKMK.",
    ".KKGWWGGGGGGKK.",
    "MKGGWGGGGGGGGKK",
    "MKG.GGGGGGGGGKK",
    "KKG.GGGGGGGGGKK",
    "KKGGGGGGGGGGGKK",
    "KKGGGGGGGGGGGKK",
    ".KKGGGGGGGGGKK.",
    ".KMKGGGGGGGKKM.",
    "..KMKGGGGGKKM..",
    "...KKKKKKKKM...",
    ".....KKKKK.....",
};

int PaletteIndex(char Pixel)
{
    switch (Pixel) {
    case 'K': return 0;
    case 'M': return 1;
    case '.': return 8;
    case 'G': return 10;
    case 'W': return 15;
    default: return -1;
    }
}

void Put16(std::vector<uint8_t>& Out, uint32_t Value)
{
    Out.push_back(static_cast<uint8_t>(Value & 0xFF));
    Out.push_back(static_cast<uint8_t>((Value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& Out, uint32_t Value)
{
    Put16(Out, Value & 0xFFFF);
    Put16(Out, Value >> 16);
}

bool AppendPixels(std::vector<uint8_t>& Out)
{
    // Rows are stored bottom-up; the high nibble holds the left pixel.
    for (int row = PictureSize - 1; row >= 0; --row) {
        std::vector<uint8_t> line(RowBytes, 0);
        for (int column = 0; column < PictureSize; ++column) {
            const int index = PaletteIndex(Rows[row][column]);
            if (index < 0)
                return false;
            const int shift = (column % PixelsPerByte == 0) ? BitsPerPixel : 0;
            line[column / PixelsPerByte] |= static_cast<uint8_t>(index << shift);
        }
        Out.insert(Out.end(), line.begin(), line.end());
    }
    return true;
}

bool MakeBitmap(std::vector<uint8_t>& Out)
{
    Put16(Out, BitmapSignature);
    Put32(Out, FileBytes);
    Put32(Out, 0); // reserved
    Put32(Out, PixelDataOffset);
    Put32(Out, InfoHeaderBytes);
    Put32(Out, PictureSize);
    Put32(Out, PictureSize); // positive: bottom-up rows
    Put16(Out, 1);           // planes
    Put16(Out, BitsPerPixel);
    Put32(Out, NoCompression);
    Put32(Out, RowBytes * PictureSize);
    Put32(Out, 0); // horizontal resolution: unspecified
    Put32(Out, 0); // vertical resolution: unspecified
    Put32(Out, PaletteEntries);
    Put32(Out, 0); // every colour is important
    for (const auto& rgb : Palette) {
        Out.push_back(rgb[2]);
        Out.push_back(rgb[1]);
        Out.push_back(rgb[0]);
        Out.push_back(0);
    }
    return AppendPixels(Out);
}

} // namespace

int main(int argc, char** argv)
{
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: make_tled OUTPUT | make_tled --check FILE\n");
        return 2;
    }
    std::vector<uint8_t> bitmap;
    if (!MakeBitmap(bitmap) || bitmap.size() != static_cast<size_t>(FileBytes)) {
        std::fprintf(stderr, "make_tled: the pixel table is malformed\n");
        return 1;
    }
    const std::string path = argv[argc - 1];
    if (check) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (existing == bitmap)
            return 0;
        std::fprintf(stderr, "make_tled: %s differs from the generated picture\n", path.c_str());
        return 1;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bitmap.data()), static_cast<std::streamsize>(bitmap.size()));
    return out ? 0 : 1;
}
