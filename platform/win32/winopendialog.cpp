#include "platform/dialogs/opendialog.h"
#include "platform/forms/form.h"
#include "platform/forms/application.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winwindowpeer.h"


namespace {

constexpr size_t kNameCapacity = 32768; // characters of the chosen name, the longest path Windows takes

// "Name\0pattern;pattern\0...\0\0", as the dialog takes the filter.
std::wstring FilterText(const TOpenDialog& Dialog)
{
    std::wstring text;
    for (const TFileFilter& filter : Dialog.Filters()) {
        std::string patterns;
        for (const std::string& pattern : filter.Patterns)
            patterns += (patterns.empty() ? "" : ";") + pattern;
        text += WideText(filter.Name) + L'\0' + WideText(patterns) + L'\0';
    }
    return text + L'\0';
}

DWORD DialogFlags(TOpenOptions Options)
{
    DWORD flags = OFN_EXPLORER;
    flags |= (Options & ofReadOnly) ? OFN_READONLY : 0;
    flags |= (Options & ofHideReadOnly) ? OFN_HIDEREADONLY : 0;
    flags |= (Options & ofNoChangeDir) ? OFN_NOCHANGEDIR : 0;
    flags |= (Options & ofPathMustExist) ? OFN_PATHMUSTEXIST : 0;
    flags |= (Options & ofFileMustExist) ? OFN_FILEMUSTEXIST : 0;
    flags |= (Options & ofEnableSizing) ? OFN_ENABLESIZING : 0;
    return flags;
}

} // namespace

bool RunOpenFileDialog(const TOpenDialog& Dialog, std::string& FileName)
{
    Application.Peer();
    std::wstring name = WideText(FileName);
    name.resize(kNameCapacity, L'\0');
    const std::wstring filter = FilterText(Dialog);
    const std::wstring title = WideText(Dialog.Title());
    const std::wstring folder = WideText(Dialog.InitialDir());
    TForm* main = Application.MainForm();
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = main && main->Peer() ? ToHwnd(main->Peer()->Widget()) : nullptr;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = static_cast<DWORD>(Dialog.FilterIndex());
    request.lpstrFile = name.data();
    request.nMaxFile = static_cast<DWORD>(name.size());
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    request.lpstrTitle = title.empty() ? nullptr : title.c_str();
    request.Flags = DialogFlags(Dialog.Options());
    if (!GetOpenFileNameW(&request))
        return false;
    FileName = Utf8Text(name.c_str());
    return true;
}
