#include "platform/widgets/menuitem.h"

#include "platform/widgets/mainmenu.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    FItems.clear();
    if (FParent)
        FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value)
{
    if (Value == FCaption)
        return;
    const bool wasLine = IsLine();
    FCaption = Value;
    Changed(wasLine != IsLine());
}

void TMenuItem::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Changed(false);
}

void TMenuItem::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    Changed(false);
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (Value == FShortCut)
        return;
    FShortCut = Value;
    Changed(false);
}

void TMenuItem::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (FChecked && FRadioItem && FParent)
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->FRadioItem && other->FChecked) {
                other->FChecked = false;
                other->Changed(false);
            }
    Changed(false);
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (Value == FRadioItem)
        return;
    FRadioItem = Value;
    Changed(false);
}

void TMenuItem::Click()
{
    if (FOnClick)
        FOnClick(this);
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item || Item == this)
        return;
    if (Item->FParent)
        Item->FParent->Remove(Item);
    const auto at = static_cast<size_t>(std::clamp(Index, 0, Count()));
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(at), Item);
    Item->FParent = this;
    Changed(true);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
    Changed(true);
}

TMainMenu* TMenuItem::Menu() const
{
    const TMenuItem* root = this;
    while (root->FParent)
        root = root->FParent;
    return root->FMenu;
}

void TMenuItem::Changed(bool Structure)
{
    if (TMainMenu* menu = Menu())
        menu->ItemChanged(*this, Structure);
}
