#include "platform/kernel/commandlinepeer.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winapi.h"


#include <cstdio>
#include <map>

namespace {

constexpr size_t kOptionColumn = 2;   // where an option's names begin in the help text
constexpr size_t kDescriptionGap = 2; // blanks between the widest names and the descriptions

// The GNU form, as on the other platforms: -i NAME, -iNAME, --input NAME,
// --input=NAME, and "--" before arguments that begin with "-".
class TWinCommandLinePeer : public TCommandLinePeer {
public:
    TWinCommandLinePeer(const std::string& Description, const std::vector<TCommandLineOption>& Options,
                        const std::string& PositionalName, const std::string& PositionalDescription)
        : FDescription(Description), FOptions(Options), FPositionalName(PositionalName),
          FPositionalDescription(PositionalDescription)
    {
    }

    bool Parse(const std::vector<std::string>& Arguments) override
    {
        FSet.clear();
        FPositional.clear();
        FError.clear();
        if (!Arguments.empty())
            FProgram = Arguments.front();
        bool optionsEnded = false;
        for (size_t i = 1; i < Arguments.size(); ++i) {
            const std::string& argument = Arguments[i];
            if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
                FPositional.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (!ParseOption(Arguments, i)) {
                return false;
            }
        }
        return true;
    }

    std::string ErrorText() const override { return FError; }
    bool IsSet(const std::string& Name) const override { return FSet.count(Canonical(Name)) > 0; }
    std::string Value(const std::string& Name) const override
    {
        const auto found = FSet.find(Canonical(Name));
        return found == FSet.end() ? std::string() : found->second;
    }
    std::vector<std::string> Positional() const override { return FPositional; }

    std::string HelpText() const override
    {
        std::string text = "Usage: " + FProgram + " [options] [" + FPositionalName + "]\n" + FDescription +
                           "\n\nOptions:\n";
        std::vector<std::string> names;
        size_t width = FPositionalName.size();
        for (const TCommandLineOption& option : FOptions) {
            std::string shown;
            for (const std::string& name : option.Names)
                shown += (shown.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") + name;
            if (!option.ValueName.empty())
                shown += " <" + option.ValueName + ">";
            width = std::max(width, shown.size());
            names.push_back(shown);
        }
        for (size_t i = 0; i < FOptions.size(); ++i)
            text += Line(names[i], FOptions[i].Description, width);
        return text + "\nArguments:\n" + Line(FPositionalName, FPositionalDescription, width);
    }

private:
    static std::string Line(const std::string& Names, const std::string& Description, size_t Width)
    {
        return std::string(kOptionColumn, ' ') + Names + std::string(Width - Names.size() + kDescriptionGap, ' ') +
               Description + "\n";
    }

    // The option's first name, by which it is kept; empty for an unknown name.
    std::string Canonical(const std::string& Name) const
    {
        for (const TCommandLineOption& option : FOptions)
            for (const std::string& name : option.Names)
                if (name == Name)
                    return option.Names.front();
        return std::string();
    }

    const TCommandLineOption* Find(const std::string& Name) const
    {
        for (const TCommandLineOption& option : FOptions)
            for (const std::string& name : option.Names)
                if (name == Name)
                    return &option;
        return nullptr;
    }

    bool ParseOption(const std::vector<std::string>& Arguments, size_t& Index)
    {
        const std::string& argument = Arguments[Index];
        const bool longForm = argument.compare(0, 2, "--") == 0;
        std::string name = longForm ? argument.substr(2) : argument.substr(1, 1);
        std::string value;
        bool hasValue = false;
        if (longForm && name.find('=') != std::string::npos) {
            value = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
            hasValue = true;
        } else if (!longForm && argument.size() > 2) {
            value = argument.substr(2);
            hasValue = true;
        }
        const TCommandLineOption* option = Find(name);
        if (!option) {
            FError = "Unknown option '" + name + "'.";
            return false;
        }
        if (option->ValueName.empty()) {
            if (hasValue) {
                FError = "Unexpected value after '" + argument.substr(0, argument.find('=')) + "'.";
                return false;
            }
        } else if (!hasValue) {
            if (Index + 1 >= Arguments.size()) {
                FError = "Missing value after '" + argument + "'.";
                return false;
            }
            value = Arguments[++Index];
        }
        FSet[option->Names.front()] = value;
        return true;
    }

    std::string FDescription;
    std::vector<TCommandLineOption> FOptions;
    std::string FPositionalName;
    std::string FPositionalDescription;
    std::string FProgram;                    // the first argument, as the program was called
    std::map<std::string, std::string> FSet; // options given, by first name, with their last value
    std::vector<std::string> FPositional;
    std::string FError;
};

// Writes Text to Handle when it leads somewhere (a console, a file, a pipe).
bool WriteTo(HANDLE Handle, const std::string& Text)
{
    if (!Handle || Handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(Handle, &mode)) {
        const std::wstring wide = WideText(Text);
        return WriteConsoleW(Handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    if (GetFileType(Handle) == FILE_TYPE_UNKNOWN)
        return false;
    return WriteFile(Handle, Text.data(), static_cast<DWORD>(Text.size()), &written, nullptr) != 0;
}

} // namespace

std::unique_ptr<TCommandLinePeer> CreateCommandLinePeer(const std::string& Description,
                                                        const std::vector<TCommandLineOption>& Options,
                                                        const std::string& PositionalName,
                                                        const std::string& PositionalDescription)
{
    return std::make_unique<TWinCommandLinePeer>(Description, Options, PositionalName, PositionalDescription);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    // The C run-time's argv is in the ANSI code page; the system's UTF-16 command line has every name.
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.push_back(Utf8Text(arguments[i]));
    LocalFree(arguments);
    return result;
}

void ShowCommandLineText(const std::string& Text, bool Error)
{
    // A window program has no console of its own: standard output when it
    // was redirected, else the console of the command prompt that started
    // it, else a message box.
    const DWORD stream = Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    if (WriteTo(GetStdHandle(stream), Text))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        const bool written = WriteTo(console, "\n" + Text);
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
        FreeConsole();
        if (written)
            return;
    }
    const std::wstring text = WideText(Text);
    MessageBoxW(nullptr, text.c_str(), L"Quimbrel", MB_OK | (Error ? MB_ICONWARNING : MB_ICONINFORMATION));
}
