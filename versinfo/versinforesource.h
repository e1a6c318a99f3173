#pragma once
// A non-visual component that reads the version-information block of one file
// (the running program by default) and offers its string values, its file and
// product version numbers and its build flags. Linked labels get single values
// and a linked list view a "Resource" / "Value" table; the component reads the
// file once its form description is loaded and whenever Filename or ForceEXE
// is set. Reading never fails: whatever is missing reads as empty.

#include "platform/kernel/component.h"
#include "versinfo/fixedfileversioninfo.h"
#include "versinfo/predefs.h"
#include "versinfo/versionnumberinformation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TLabel;
class TListView;

using TVersionFilename = std::string;

class TVersionInfoResource : public TComponent {
public:
    explicit TVersionInfoResource(TComponent* AOwner);
    ~TVersionInfoResource() override;

    // Always "TVersionInfoResource v2.35"; writing it changes nothing.
    std::string Version() const;
    void SetVersion(const std::string& Value);

    // The file to read; empty for the running program. Setting it reads the
    // file again, even when the name is unchanged.
    const TVersionFilename& Filename() const { return FFilename; }
    void SetFilename(const TVersionFilename& Value);
    // Read the program rather than the module holding the component when that
    // is a library.
    bool ForceEXE() const { return FForceEXE; }
    void SetForceEXE(bool Value);

    std::string CompanyName() const { return GetPreDefValue(pdCompanyName); }
    std::string FileDescription() const { return GetPreDefValue(pdFileDescription); }
    std::string InternalName() const { return GetPreDefValue(pdInternalName); }
    std::string LegalCopyright() const { return GetPreDefValue(pdLegalCopyright); }
    std::string LegalTrademarks() const { return GetPreDefValue(pdLegalTrademarks); }
    std::string OriginalFilename() const { return GetPreDefValue(pdOriginalFilename); }
    std::string ProductName() const { return GetPreDefValue(pdProductName); }
    std::string Comments() const { return GetPreDefValue(pdComments); }

    // Linking a label makes it show its value and takes that value's row out
    // of ShowResource; unlinking leaves ShowResource alone.
    TLabel* VersionLabel() const { return FVersionLabel; }
    void SetVersionLabel(TLabel* Value);
    TListView* VersionListView() const { return FVersionListView; }
    void SetVersionListView(TListView* Value);
    TLabel* DescriptionLabel() const { return FDescriptionLabel; }
    void SetDescriptionLabel(TLabel* Value);
    TLabel* CopyrightLabel() const { return FCopyrightLabel; }
    void SetCopyrightLabel(TLabel* Value);
    TLabel* ProductLabel() const { return FProductLabel; }
    void SetProductLabel(TLabel* Value);

    // The rows the list view may show.
    TPreDefs ShowResource() const { return FShowResource; }
    void SetShowResource(TPreDefs Value);

    // The value of predefined key Index (a TPreDef ordinal); empty for any other index.
    std::string GetPreDefValue(int Index) const;
    // The value of Key in the string table of the chosen translation; empty
    // when there is none.
    std::string GetVersionString(const std::string& Key) const;

    const TVersionNumberInformation& FileVersionNumber() const { return *FFileVersionNumber; }
    const TVersionNumberInformation& ProductVersionNumber() const { return *FProductVersionNumber; }
    const TFixedFileVersionInfo& FixedInfo() const { return *FFixedInfo; }
    // The translations the file lists, eight upper-case hex digits each, language first.
    const std::vector<std::string>& Translations() const { return FTranslations; }
    int TranslationIndex() const { return FTranslationIndex; }
    // The copy of the block; nullptr when the file has no version information.
    const void* VersionData() const { return FVersionData.get(); }
    uint32_t VersionDataSize() const { return FVersionDataSize; }

    // The file that Reload reads.
    virtual std::string GetTargetFileName() const;
    // Pushes the values into the linked controls (not while loading or designing).
    virtual void UpdateLinkedControls();
    virtual void FillListView();
    // The captions of the build flags that are set, joined by ", ".
    virtual std::string GetBuildFlagsText() const;
    // Reads the file's version block again and updates the linked controls.
    virtual void Reload();

    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Stores a label link; a label that is set takes Shown's row out of ShowResource.
    void SetLabelLink(TLabel*& Link, TLabel* Value, TPreDef Shown);
    // Fills VersionData from the file; false when it has no usable block.
    bool ReadBlock(const std::string& FileName);
    void ReadTranslations();
    void AddListRow(TPreDef Element, const std::string& Value);

    std::unique_ptr<uint32_t[]> FVersionData;  // the block, 4-byte aligned; nullptr when none
    uint32_t FVersionDataSize = 0;             // bytes in the block as the size query gave them
    TVersionFilename FFilename;                // the file to read; empty for the running program
    std::vector<std::string> FTranslations;    // eight hex digits each, in the file's order
    int FTranslationIndex = 0;                 // the entry of FTranslations in use
    std::unique_ptr<TFixedFileVersionInfo> FFixedInfo;
    bool FForceEXE = false;
    std::unique_ptr<TVersionNumberInformation> FFileVersionNumber;
    std::unique_ptr<TVersionNumberInformation> FProductVersionNumber;
    TLabel* FVersionLabel = nullptr;           // links: not owned, cleared when they go
    TLabel* FCopyrightLabel = nullptr;
    TListView* FVersionListView = nullptr;
    TLabel* FDescriptionLabel = nullptr;
    TLabel* FProductLabel = nullptr;
    TPreDefs FShowResource = AllPreDefs;       // rows the list view may show
};
