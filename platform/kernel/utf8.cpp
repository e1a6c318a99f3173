#include "platform/kernel/utf8.h"

namespace {

// First code points that need two, three and four bytes.
constexpr char32_t TwoByteFirst = 0x80;
constexpr char32_t ThreeByteFirst = 0x800;
constexpr char32_t FourByteFirst = 0x10000;

// Lead bytes of two-, three- and four-byte sequences; continuation bytes
// carry 6 bits each.
constexpr char32_t TwoByteLead = 0xC0;
constexpr char32_t ThreeByteLead = 0xE0;
constexpr char32_t FourByteLead = 0xF0;
constexpr char32_t ContinuationLead = 0x80;
constexpr char32_t ContinuationMask = 0x3F;
constexpr unsigned ContinuationBits = 6;

char Continuation(char32_t Code, unsigned Shift)
{
    return static_cast<char>(ContinuationLead | ((Code >> Shift) & ContinuationMask));
}

} // namespace

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < TwoByteFirst) {
        Out += static_cast<char>(Code);
    } else if (Code < ThreeByteFirst) {
        Out += static_cast<char>(TwoByteLead | (Code >> ContinuationBits));
        Out += Continuation(Code, 0);
    } else if (Code < FourByteFirst) {
        Out += static_cast<char>(ThreeByteLead | (Code >> (2 * ContinuationBits)));
        Out += Continuation(Code, ContinuationBits);
        Out += Continuation(Code, 0);
    } else {
        Out += static_cast<char>(FourByteLead | (Code >> (3 * ContinuationBits)));
        Out += Continuation(Code, 2 * ContinuationBits);
        Out += Continuation(Code, ContinuationBits);
        Out += Continuation(Code, 0);
    }
}
