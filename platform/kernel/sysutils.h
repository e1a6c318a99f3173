#pragma once
// Small operating-system and run-time services used throughout the program:
// millisecond ticks, sleeping, printf-style formatting and number conversion.

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>

// Monotonic milliseconds since an arbitrary start, 32 bits, wrapping around
// after about 49.7 days.
uint32_t GetTickCount();

// Replaces the tick source (tests drive time without sleeping); an empty
// function restores the real clock.
void SetTickCountSource(std::function<uint32_t()> Source);

// Blocks the calling thread for the given number of milliseconds.
void Sleep(uint32_t Milliseconds);

// printf-style formatting into a string.
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* Fmt, va_list Args);

std::string IntToStr(int64_t Value);

// Base-10 logarithm in extended precision.
long double Log10(long double X);

// The last path component: file name and extension without the folder.
std::string ExtractFileName(const std::string& Path);
