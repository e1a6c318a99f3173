#include "platform/kernel/resources.h"

#include "platform/win32/comref.h"
#include "platform/win32/embeddedfiles.h"
#include "platform/win32/winicon.h"

#include <cstring>
#include <vector>

namespace {

constexpr size_t kBitsPerWord = 16; // a monochrome bitmap's rows are whole WORDs

const TEmbeddedFile* FindFile(const std::string& Path)
{
    for (int i = 0; i < kEmbeddedFileCount; ++i)
        if (Path == kEmbeddedFiles[i].Name)
            return &kEmbeddedFiles[i];
    return nullptr;
}

// Decodes an embedded image (BMP or PNG) with the Windows Imaging Component,
// into 0xAARRGGBB pixels; Opaque sets every alpha to 255.
bool DecodeImage(const std::string& Path, bool Opaque, TDecodedImage& Image)
{
    const TEmbeddedFile* file = FindFile(Path);
    if (!file)
        return false;
    StartCom();
    TComRef<IWICImagingFactory> factory;
    TComRef<IWICStream> stream;
    TComRef<IWICBitmapDecoder> decoder;
    TComRef<IWICBitmapFrameDecode> frame;
    TComRef<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(file->Bytes), static_cast<DWORD>(file->Size))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)))
        return false;
    Image.Width = static_cast<int>(width);
    Image.Height = static_cast<int>(height);
    Image.Pixels.assign(static_cast<size_t>(width) * height, 0);
    // BGRA bytes in memory are 0xAARRGGBB words.
    if (FAILED(converter->CopyPixels(nullptr, width * sizeof(uint32_t),
                                     static_cast<UINT>(Image.Pixels.size() * sizeof(uint32_t)),
                                     reinterpret_cast<BYTE*>(Image.Pixels.data()))))
        return false;
    if (Opaque)
        for (uint32_t& pixel : Image.Pixels)
            pixel |= 0xFF000000u;
    return true;
}

} // namespace

bool ReadResource(const std::string& Path, std::vector<uint8_t>& Data)
{
    const TEmbeddedFile* file = FindFile(Path);
    if (!file)
        return false;
    Data.assign(file->Bytes, file->Bytes + file->Size);
    return true;
}

bool LoadResourceImage(const std::string& Name, TDecodedImage& Image)
{
    return DecodeImage("bitmaps/" + Name + ".bmp", true, Image);
}

bool LoadIconImage(const std::string& Name, TDecodedImage& Image)
{
    return DecodeImage("icons/" + Name + ".png", false, Image);
}

std::vector<std::string> ListResources(const std::string& Folder)
{
    // The files are in the order of their paths, so those of a folder come sorted.
    std::vector<std::string> names;
    const std::string prefix = Folder + "/";
    for (int i = 0; i < kEmbeddedFileCount; ++i) {
        const std::string path = kEmbeddedFiles[i].Name;
        if (path.compare(0, prefix.size(), prefix) == 0 && path.find('/', prefix.size()) == std::string::npos)
            names.push_back(path.substr(prefix.size()));
    }
    return names;
}

HICON CreateIconFromResourceImage(const std::string& Name)
{
    TDecodedImage image;
    if (!LoadIconImage(Name, image))
        return nullptr;
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = image.Width;
    header.bV5Height = -image.Height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour)
        return nullptr;
    std::memcpy(bits, image.Pixels.data(), image.Pixels.size() * sizeof(uint32_t));
    // An AND mask of zeros: the colour bitmap's alpha says what shows. Without
    // bits CreateBitmap leaves its contents undefined; its rows are whole WORDs.
    const size_t maskRowBytes = (static_cast<size_t>(image.Width) + kBitsPerWord - 1) / kBitsPerWord * sizeof(WORD);
    const std::vector<BYTE> maskBits(maskRowBytes * static_cast<size_t>(image.Height), 0);
    HBITMAP mask = CreateBitmap(image.Width, image.Height, 1, 1, maskBits.data());
    if (!mask) {
        DeleteObject(colour);
        return nullptr;
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}
