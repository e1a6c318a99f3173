#pragma once
// An item of a menu: a command with a caption ("&" marks its accelerator, "-"
// makes a separator), or a submenu holding further items. A command may show
// a check mark; checking a radio item unchecks the other radio items beside it.

#include "platform/kernel/component.h"
#include "platform/widgets/keys.h"

#include <string>
#include <vector>

class TMainMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    // Leaves its parent item; its own items stay with their owner.
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool IsLine() const { return FCaption == "-"; }
    // A key that chooses the item while its form is active (shown beside the
    // caption); scNone for none.
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // Shown as one of a group of choices: the radio items of the same parent.
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent Value) { FOnClick = std::move(Value); }
    // What choosing the item does: raises OnClick.
    virtual void Click();

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    TMenuItem* Parent() const { return FParent; }
    // Appends an item (taking it from another parent first).
    void Add(TMenuItem* Item);
    // Puts an item before the one at Index (at the end when Index is Count or more).
    void Insert(int Index, TMenuItem* Item);
    int IndexOf(const TMenuItem* Item) const;
    void Remove(TMenuItem* Item);
    // The main menu the item lies in, or nullptr.
    TMainMenu* Menu() const;

private:
    friend class TMainMenu;
    // Tells the menu that the item changed in place, or that the tree did.
    void Changed(bool Structure);

    std::string FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    TShortCut FShortCut = scNone;
    bool FChecked = false;
    bool FRadioItem = false;
    TNotifyEvent FOnClick;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems; // not owned: the form owns every item
    TMainMenu* FMenu = nullptr;     // set on a menu's root item only
};
