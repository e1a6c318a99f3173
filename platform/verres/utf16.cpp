#include "platform/verres/utf16.h"

#include "platform/kernel/utf8.h"

namespace {

constexpr char32_t ReplacementChar = 0xFFFD;
constexpr char32_t HighSurrogateFirst = 0xD800;
constexpr char32_t LowSurrogateFirst = 0xDC00;
constexpr char32_t SurrogateEnd = 0xE000;     // one past the last surrogate
constexpr char32_t SupplementaryFirst = 0x10000;
constexpr char32_t LastCodePoint = 0x10FFFF;
constexpr unsigned SurrogateBits = 10;
constexpr char32_t SurrogateMask = 0x3FF;

uint16_t UnitAt(const uint8_t* Data, size_t Index)
{
    return static_cast<uint16_t>(Data[2 * Index] | (Data[2 * Index + 1] << 8));
}

bool IsHigh(char32_t Unit) { return Unit >= HighSurrogateFirst && Unit < LowSurrogateFirst; }
bool IsLow(char32_t Unit) { return Unit >= LowSurrogateFirst && Unit < SurrogateEnd; }

void AppendUnit(std::vector<uint8_t>& Out, char32_t Unit)
{
    Out.push_back(static_cast<uint8_t>(Unit & 0xFF));
    Out.push_back(static_cast<uint8_t>(Unit >> 8));
}

// Decodes one UTF-8 sequence at Text[Pos], advancing Pos; rejects overlong
// forms, surrogates and values past the last code point.
char32_t DecodeUtf8(const std::string& Text, size_t& Pos)
{
    const auto lead = static_cast<unsigned char>(Text[Pos++]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4)
        return ReplacementChar;
    char32_t code = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (Pos >= Text.size() || (static_cast<unsigned char>(Text[Pos]) & 0xC0) != 0x80)
            return ReplacementChar;
        code = (code << 6) | (static_cast<unsigned char>(Text[Pos++]) & 0x3F);
    }
    constexpr char32_t smallestOf[] = {0, 0x80, 0x800, SupplementaryFirst};
    if (code < smallestOf[extra] || code > LastCodePoint || (code >= HighSurrogateFirst && code < SurrogateEnd))
        return ReplacementChar;
    return code;
}

} // namespace

std::string Utf16LeToUtf8(const uint8_t* Data, size_t Units)
{
    std::string out;
    for (size_t i = 0; i < Units; ++i) {
        const char32_t unit = UnitAt(Data, i);
        if (IsHigh(unit) && i + 1 < Units && IsLow(UnitAt(Data, i + 1))) {
            const char32_t low = UnitAt(Data, ++i);
            AppendUtf8(out, SupplementaryFirst + (((unit - HighSurrogateFirst) << SurrogateBits) | (low - LowSurrogateFirst)));
        } else if (IsHigh(unit) || IsLow(unit)) {
            AppendUtf8(out, ReplacementChar);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::vector<uint8_t> Utf8ToUtf16Le(const std::string& Text)
{
    std::vector<uint8_t> out;
    size_t pos = 0;
    while (pos < Text.size()) {
        const char32_t code = DecodeUtf8(Text, pos);
        if (code >= SupplementaryFirst) {
            const char32_t offset = code - SupplementaryFirst;
            AppendUnit(out, HighSurrogateFirst + (offset >> SurrogateBits));
            AppendUnit(out, LowSurrogateFirst + (offset & SurrogateMask));
        } else {
            AppendUnit(out, code);
        }
    }
    return out;
}
