#include "report/floattext.h"

#include <charconv>

namespace measure {

namespace {

constexpr size_t LongestFloatText = 32; // sign, digits, point and exponent of any float

} // namespace

std::string ShortestText(float Value)
{
    char text[LongestFloatText];
    const auto result = std::to_chars(text, text + sizeof text, Value);
    return std::string(text, result.ptr);
}

} // namespace measure
