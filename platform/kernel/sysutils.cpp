#include "platform/kernel/sysutils.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// The characters that end a folder (or, on Windows, a drive) in a path.
#ifdef _WIN32
constexpr const char* PathDelimiters = "\\/:";
#else
constexpr const char* PathDelimiters = "/";
#endif

std::function<uint32_t()>& TickSource()
{
    static std::function<uint32_t()> source;
    return source;
}

} // namespace

uint32_t GetTickCount()
{
    if (TickSource())
        return TickSource()();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms); // wraps like the 32-bit counter it stands for
}

void SetTickCountSource(std::function<uint32_t()> Source)
{
    TickSource() = std::move(Source);
}

void Sleep(uint32_t Milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

std::string FormatV(const char* Fmt, va_list Args)
{
    va_list copy;
    va_copy(copy, Args);
    const int needed = std::vsnprintf(nullptr, 0, Fmt, copy);
    va_end(copy);
    if (needed <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(needed) + 1);
    std::vsnprintf(text.data(), text.size(), Fmt, Args);
    return std::string(text.data(), static_cast<size_t>(needed));
}

std::string Format(const char* Fmt, ...)
{
    va_list args;
    va_start(args, Fmt);
    std::string text = FormatV(Fmt, args);
    va_end(args);
    return text;
}

std::string IntToStr(int64_t Value)
{
    return std::to_string(Value);
}

long double Log10(long double X)
{
    return std::log10(X);
}

std::string ExtractFileName(const std::string& Path)
{
    const auto slash = Path.find_last_of(PathDelimiters);
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}
