#pragma once
// Colours, points and rectangles as the drawing code uses them.

#include <cstdint>

// A colour in 0x00BBGGRR order (red in the low byte).
using TColor = uint32_t;

// The sixteen standard colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours, resolved to the light desktop palette this program draws with.
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindow = 0xFFFFFF;
constexpr TColor clWindowText = 0x000000;

constexpr uint8_t GetRValue(TColor C) { return static_cast<uint8_t>(C & 0xFF); }
constexpr uint8_t GetGValue(TColor C) { return static_cast<uint8_t>((C >> 8) & 0xFF); }
constexpr uint8_t GetBValue(TColor C) { return static_cast<uint8_t>((C >> 16) & 0xFF); }
constexpr TColor RGB(uint8_t R, uint8_t G, uint8_t B)
{
    return static_cast<TColor>(R) | (static_cast<TColor>(G) << 8) | (static_cast<TColor>(B) << 16);
}

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// Right and bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int32_t X, int32_t Y) const { return X >= Left && X < Right && Y >= Top && Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom)
{
    return TRect{Left, Top, Right, Bottom};
}

// The overlap of two rectangles; empty when they do not meet.
inline TRect IntersectRect(const TRect& A, const TRect& B)
{
    TRect r{A.Left > B.Left ? A.Left : B.Left, A.Top > B.Top ? A.Top : B.Top,
            A.Right < B.Right ? A.Right : B.Right, A.Bottom < B.Bottom ? A.Bottom : B.Bottom};
    if (r.IsEmpty())
        return TRect{};
    return r;
}
