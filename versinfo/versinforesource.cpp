#include "versinfo/versinforesource.h"

#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/verres/resstrings.h"
#include "platform/verres/winver.h"
#include "platform/widgets/label.h"
#include "platform/widgets/listview.h"

#include <cstring>

namespace {

const char* const VersionText = "TVersionInfoResource v2.35";
const char* const FixedRecordPath = "\\";
const char* const TranslationPath = "\\VarFileInfo\\Translation";
const char* const StringTablePath = "\\StringFileInfo\\";
// The translation used when the file lists none: US English, Western European.
const char* const DefaultTranslation = "040904E4";
constexpr uint16_t DefaultLanguage = 0x0409; // US English, for a language of 0
constexpr uint16_t DefaultCodePage = 0x04E4; // Western European (1252), for a code page of 0
constexpr uint32_t TranslationEntryBytes = 4; // a 16-bit language, then a 16-bit code page

// The program's classes are linked into the executable itself, never into a
// library, so the module holding the component is the running program.
constexpr bool IsLibrary = false;

std::string ModuleFileName()
{
    return Application.ExeName();
}

} // namespace

TVersionInfoResource::TVersionInfoResource(TComponent* AOwner)
    : TComponent(AOwner),
      FFixedInfo(std::make_unique<TFixedFileVersionInfo>()),
      FFileVersionNumber(std::make_unique<TVersionNumberInformation>(0, 0)),
      FProductVersionNumber(std::make_unique<TVersionNumberInformation>(0, 0))
{
}

TVersionInfoResource::~TVersionInfoResource()
{
    FFileVersionNumber.reset();
    FProductVersionNumber.reset();
    FFixedInfo.reset();
    FTranslations.clear();
    FVersionData.reset();
}

std::string TVersionInfoResource::Version() const
{
    return VersionText;
}

void TVersionInfoResource::SetVersion(const std::string&)
{
}

void TVersionInfoResource::SetFilename(const TVersionFilename& Value)
{
    FFilename = Value;
    Reload();
}

void TVersionInfoResource::SetForceEXE(bool Value)
{
    if (Value == FForceEXE)
        return;
    FForceEXE = Value;
    Reload();
}

void TVersionInfoResource::SetLabelLink(TLabel*& Link, TLabel* Value, TPreDef Shown)
{
    Link = Value;
    if (!Value)
        return;
    FreeNotification(Value);
    FShowResource.Exclude(Shown);
    UpdateLinkedControls();
}

void TVersionInfoResource::SetVersionLabel(TLabel* Value)
{
    SetLabelLink(FVersionLabel, Value, pdFileVersion);
}

void TVersionInfoResource::SetCopyrightLabel(TLabel* Value)
{
    SetLabelLink(FCopyrightLabel, Value, pdLegalCopyright);
}

void TVersionInfoResource::SetProductLabel(TLabel* Value)
{
    SetLabelLink(FProductLabel, Value, pdProductName);
}

void TVersionInfoResource::SetDescriptionLabel(TLabel* Value)
{
    SetLabelLink(FDescriptionLabel, Value, pdFileDescription);
}

void TVersionInfoResource::SetVersionListView(TListView* Value)
{
    FVersionListView = Value;
    if (!Value)
        return;
    FreeNotification(Value);
    UpdateLinkedControls();
}

void TVersionInfoResource::SetShowResource(TPreDefs Value)
{
    if (Value == FShowResource)
        return;
    FShowResource = Value;
    UpdateLinkedControls();
}

std::string TVersionInfoResource::GetPreDefValue(int Index) const
{
    if (Index < 0 || Index >= PreDefCount)
        return std::string();
    return GetVersionString(PreDefKeys[static_cast<size_t>(Index)]);
}

std::string TVersionInfoResource::GetVersionString(const std::string& Key) const
{
    const bool listed = FTranslationIndex >= 0 && static_cast<size_t>(FTranslationIndex) < FTranslations.size();
    const std::string translation = listed ? FTranslations[static_cast<size_t>(FTranslationIndex)] : DefaultTranslation;
    const std::string path = StringTablePath + translation + "\\" + Key;
    void* value = nullptr;
    uint32_t length = 0;
    if (!FVersionData || !VerQueryValue(FVersionData.get(), path, &value, &length))
        return std::string();
    // The value ends at its first NUL, and never past the length the query gave.
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

std::string TVersionInfoResource::GetTargetFileName() const
{
    if (!FFilename.empty())
        return FFilename;
    if (IsLibrary && !FForceEXE)
        return ModuleFileName();
    return Application.ExeName();
}

bool TVersionInfoResource::ReadBlock(const std::string& FileName)
{
    uint32_t handle = 0;
    FVersionDataSize = GetFileVersionInfoSize(FileName, &handle);
    if (FVersionDataSize == 0)
        return false;
    const size_t words = (FVersionDataSize + sizeof(uint32_t) - 1) / sizeof(uint32_t);
    FVersionData = std::make_unique<uint32_t[]>(words);
    if (GetFileVersionInfo(FileName, handle, FVersionDataSize, FVersionData.get()))
        return true;
    // A block that could not be read after all counts as none.
    FVersionData.reset();
    FVersionDataSize = 0;
    return false;
}

void TVersionInfoResource::ReadTranslations()
{
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValue(FVersionData.get(), TranslationPath, &value, &length) || !value)
        return;
    auto* entries = static_cast<uint8_t*>(value);
    for (uint32_t at = 0; at + TranslationEntryBytes <= length; at += TranslationEntryBytes) {
        uint16_t pair[2];
        std::memcpy(pair, entries + at, sizeof(pair));
        if (pair[0] == 0)
            pair[0] = DefaultLanguage;
        if (pair[1] == 0)
            pair[1] = DefaultCodePage;
        // The defaults are written back, so later queries of the block see them too.
        std::memcpy(entries + at, pair, sizeof(pair));
        FTranslations.push_back(Format("%.4X%.4X", pair[0], pair[1]));
    }
}

void TVersionInfoResource::Reload()
{
    FTranslations.clear();
    FFixedInfo->SetFixedRecord(nullptr);
    FVersionData.reset();
    if (!ReadBlock(GetTargetFileName())) {
        FFileVersionNumber->SetValid(false);
        FProductVersionNumber->SetValid(false);
        UpdateLinkedControls();
        return;
    }
    void* fixed = nullptr;
    uint32_t fixedLength = 0;
    if (VerQueryValue(FVersionData.get(), FixedRecordPath, &fixed, &fixedLength)
        && fixedLength >= sizeof(VS_FIXEDFILEINFO))
        FFixedInfo->SetFixedRecord(static_cast<const VS_FIXEDFILEINFO*>(fixed));
    ReadTranslations();
    if (static_cast<size_t>(FTranslationIndex) >= FTranslations.size())
        FTranslationIndex = 0;
    FFileVersionNumber->SetValid(true);
    FFileVersionNumber->SetMS(FFixedInfo->FileVersionMS());
    FFileVersionNumber->SetLS(FFixedInfo->FileVersionLS());
    FFileVersionNumber->SetText(GetPreDefValue(pdFileVersion));
    FProductVersionNumber->SetValid(true);
    FProductVersionNumber->SetMS(FFixedInfo->ProductVersionMS());
    FProductVersionNumber->SetLS(FFixedInfo->ProductVersionLS());
    FProductVersionNumber->SetText(GetPreDefValue(pdProductVersion));
    UpdateLinkedControls();
}

std::string TVersionInfoResource::GetBuildFlagsText() const
{
    const TBuildFlags flags = FFixedInfo->GetFlags();
    std::string text;
    for (int f = 0; f < BuildFlagCount; ++f)
        if (flags.Contains(static_cast<TBuildFlag>(f)))
            text += BuildFlagCaptions[static_cast<size_t>(f)] + ", ";
    const size_t separatorChars = 2;
    if (!text.empty())
        text.erase(text.size() - separatorChars);
    return text;
}

void TVersionInfoResource::UpdateLinkedControls()
{
    if (IsLoading() || IsDesigning())
        return;
    if (FVersionLabel)
        FVersionLabel->SetCaption(FFileVersionNumber->AsString());
    if (FCopyrightLabel)
        FCopyrightLabel->SetCaption(GetPreDefValue(pdLegalCopyright));
    if (FProductLabel)
        FProductLabel->SetCaption(GetPreDefValue(pdProductName));
    if (FDescriptionLabel)
        FDescriptionLabel->SetCaption(GetPreDefValue(pdFileDescription));
    if (FVersionListView)
        FillListView();
}

void TVersionInfoResource::Loaded()
{
    TComponent::Loaded();
    Reload();
}

void TVersionInfoResource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || !AComponent)
        return;
    if (AComponent == FVersionLabel)
        FVersionLabel = nullptr;
    if (AComponent == FCopyrightLabel)
        FCopyrightLabel = nullptr;
    if (AComponent == FVersionListView)
        FVersionListView = nullptr;
    if (AComponent == FDescriptionLabel)
        FDescriptionLabel = nullptr;
    if (AComponent == FProductLabel)
        FProductLabel = nullptr;
}

void TVersionInfoResource::FillListView()
{
    if (!FVersionListView)
        return;
    TListView& view = *FVersionListView;
    view.Columns().Clear();
    view.Items().Clear();
    view.SetViewStyle(TViewStyle::vsReport);
    view.SetReadOnly(true);
    view.SetColumnClick(false);
    for (int captionId : {ResourceColumnCaptionId, ValueColumnCaptionId}) {
        TListColumn* column = view.Columns().Add();
        column->SetCaption(LoadResString(captionId));
        column->SetWidth(ColumnWidthFitHeader);
    }
    AddListRow(pdProductName, GetPreDefValue(pdProductName));
    AddListRow(pdProductVersion, FProductVersionNumber->AsString());
    AddListRow(pdCompanyName, GetPreDefValue(pdCompanyName));
    AddListRow(pdLegalCopyright, GetPreDefValue(pdLegalCopyright));
    AddListRow(pdLegalTrademarks, GetPreDefValue(pdLegalTrademarks));
    AddListRow(pdFileDescription, GetPreDefValue(pdFileDescription));
    AddListRow(pdFileVersion, FFileVersionNumber->AsString());
    AddListRow(pdInternalName, GetPreDefValue(pdInternalName));
    AddListRow(pdOriginalFilename, GetPreDefValue(pdOriginalFilename));
    AddListRow(pdBuildFlags, GetBuildFlagsText());
    AddListRow(pdComments, GetPreDefValue(pdComments));
}

void TVersionInfoResource::AddListRow(TPreDef Element, const std::string& Value)
{
    if (Value.empty() || !FShowResource.Contains(Element))
        return;
    TListItem* item = FVersionListView->Items().Add();
    item->SetCaption(PreDefCaptions[static_cast<size_t>(Element)]);
    item->SubItems().Add(Value);
}
