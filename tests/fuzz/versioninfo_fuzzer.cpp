// Any bytes as a VS_VERSIONINFO block: the size and copy from the block, then
// the queries the version reader makes ("\", the translations, every
// predefined key of every listed translation) and keys taken from the input.
// Every answer must lie inside the copy, and a string must end inside it.

#include "platform/verres/winver.h"
#include "versinfo/predefs.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t TranslationEntryBytes = 4;    // 16-bit language, 16-bit code page
constexpr uint16_t NeutralLanguage = 0x0409;     // what the reader puts for language 0
constexpr uint16_t NeutralCodePage = 0x04E4;     // and for code page 0
constexpr size_t MaxInputKeyBytes = 24;          // length of the key taken from the input's end
constexpr size_t MaxTranslationsQueried = 8;     // translation entries whose tables are searched
constexpr const char* FallbackTranslation = "040904E4";

struct TCopy {
    std::vector<uint32_t> Words; // 32-bit aligned, as the service wants
    uint32_t Bytes = 0;
    const uint8_t* Begin() const { return reinterpret_cast<const uint8_t*>(Words.data()); }
};

// The answer lies inside the copy; a string answer ends in a NUL inside it.
void CheckAnswer(const TCopy& Copy, const void* Value, uint32_t Len, bool IsString)
{
    const auto* value = static_cast<const uint8_t*>(Value);
    if (value < Copy.Begin() || value > Copy.Begin() + Copy.Bytes ||
        Len > static_cast<uint32_t>(Copy.Begin() + Copy.Bytes - value))
        std::abort();
    if (IsString && (Len == 0 || value[Len - 1] != 0))
        std::abort();
}

bool Query(const TCopy& Copy, const std::string& Path, bool IsString, void** Value, uint32_t* Len)
{
    const bool found = VerQueryValue(Copy.Begin(), Path, Value, Len);
    if (found)
        CheckAnswer(Copy, *Value, *Len, IsString);
    else if (*Value != nullptr || *Len != 0)
        std::abort();
    return found;
}

void QueryFixed(const TCopy& Copy)
{
    void* value = nullptr;
    uint32_t len = 0;
    if (Query(Copy, "\\", false, &value, &len) && len >= sizeof(VS_FIXEDFILEINFO)) {
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, value, sizeof fixed);
        volatile uint32_t flags = fixed.dwFileFlags ^ fixed.dwFileVersionMS ^ fixed.dwProductVersionLS;
        (void)flags;
    }
}

// The translations as the reader lists them, zeros replaced in the block itself.
std::vector<std::string> QueryTranslations(const TCopy& Copy)
{
    std::vector<std::string> names;
    void* value = nullptr;
    uint32_t len = 0;
    if (!Query(Copy, "\\VarFileInfo\\Translation", false, &value, &len))
        return names;
    auto* entries = static_cast<uint8_t*>(value);
    for (uint32_t offset = 0; offset + TranslationEntryBytes <= len; offset += TranslationEntryBytes) {
        uint16_t language, codePage;
        std::memcpy(&language, entries + offset, sizeof language);
        std::memcpy(&codePage, entries + offset + sizeof language, sizeof codePage);
        if (language == 0)
            language = NeutralLanguage;
        if (codePage == 0)
            codePage = NeutralCodePage;
        std::memcpy(entries + offset, &language, sizeof language);
        std::memcpy(entries + offset + sizeof language, &codePage, sizeof codePage);
        if (names.size() < MaxTranslationsQueried) {
            char name[2 * TranslationEntryBytes + 1];
            std::snprintf(name, sizeof name, "%.4X%.4X", language, codePage);
            names.emplace_back(name);
        }
    }
    return names;
}

void QueryString(const TCopy& Copy, const std::string& Translation, const std::string& Key)
{
    void* value = nullptr;
    uint32_t len = 0;
    Query(Copy, "\\StringFileInfo\\" + Translation + "\\" + Key, true, &value, &len);
}

// The last bytes of the input, up to a NUL, as one more key and path.
std::string KeyFromInput(const uint8_t* Data, size_t Size)
{
    const size_t take = Size < MaxInputKeyBytes ? Size : MaxInputKeyBytes;
    std::string key(reinterpret_cast<const char*>(Data + Size - take), take);
    return key.substr(0, key.find('\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const uint32_t rawLen = static_cast<uint32_t>(Size);
    TCopy copy;
    copy.Bytes = GetVersionInfoSizeFromBlock(Data, rawLen);
    if (copy.Bytes == 0)
        return 0;
    copy.Words.resize((copy.Bytes + sizeof(uint32_t) - 1) / sizeof(uint32_t));
    if (!GetVersionInfoFromBlock(Data, rawLen, copy.Bytes, copy.Words.data()))
        return 0;

    QueryFixed(copy);
    std::vector<std::string> translations = QueryTranslations(copy);
    translations.emplace_back(FallbackTranslation);
    const std::string inputKey = KeyFromInput(Data, Size);
    for (const std::string& translation : translations) {
        for (const char* key : PreDefKeys)
            QueryString(copy, translation, key);
        QueryString(copy, translation, "Web site");
        QueryString(copy, translation, inputKey);
    }
    void* value = nullptr;
    uint32_t len = 0;
    for (const char* path : {"", "\\StringFileInfo", "\\VarFileInfo", "\\\\", "StringFileInfo\\\\"})
        Query(copy, path, false, &value, &len);
    Query(copy, inputKey, false, &value, &len);
    Query(copy, "\\" + inputKey, false, &value, &len);
    return 0;
}
