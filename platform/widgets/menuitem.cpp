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

void TMenuItem::Click()
{
    if (FOnClick)
        FOnClick(this);
}

void TMenuItem::Add(TMenuItem* Item)
{
    if (!Item || Item == this)
        return;
    if (Item->FParent)
        Item->FParent->Remove(Item);
    FItems.push_back(Item);
    Item->FParent = this;
    Changed(true);
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
