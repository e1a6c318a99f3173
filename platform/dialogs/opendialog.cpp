#include "platform/dialogs/opendialog.h"

#include <filesystem>
#include <system_error>

namespace {

TOpenDialogHook& ExecuteHook()
{
    static TOpenDialogHook hook;
    return hook;
}

std::vector<std::string> Split(const std::string& Text, char Separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = Text.find(Separator, start);
        parts.push_back(Text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

void TOpenDialog::SetExecuteHook(TOpenDialogHook Hook)
{
    ExecuteHook() = std::move(Hook);
}

std::vector<TFileFilter> TOpenDialog::Filters() const
{
    std::vector<TFileFilter> filters;
    if (FFilter.empty())
        return filters;
    const std::vector<std::string> parts = Split(FFilter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileFilter filter{parts[i], {}};
        for (const std::string& pattern : Split(parts[i + 1], ';'))
            if (!pattern.empty())
                filter.Patterns.push_back(pattern);
        filters.push_back(filter);
    }
    return filters;
}

bool TOpenDialog::Acceptable(const std::string& Name) const
{
    if (Name.empty())
        return false;
    std::error_code error;
    const std::filesystem::path path(Name);
    if ((FOptions & ofFileMustExist) && !std::filesystem::is_regular_file(path, error))
        return false;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if ((FOptions & ofPathMustExist) && !std::filesystem::is_directory(folder, error))
        return false;
    return true;
}

bool TOpenDialog::Execute()
{
    std::string chosen = FFileName;
    const bool picked = ExecuteHook() ? ExecuteHook()(*this, chosen) : RunOpenFileDialog(*this, chosen);
    if (!picked || !Acceptable(chosen))
        return false;
    FFileName = chosen;
    return true;
}
