#include "platform/widgets/mainmenu.h"

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
}

TMainMenu::~TMainMenu()
{
    FPeer.reset();
    FItems->FMenu = nullptr;
    FItems.reset();
}

TMainMenuPeer& TMainMenu::Peer()
{
    if (!FPeer) {
        FPeer = CreateMainMenuPeer(this);
        FPeer->Rebuild(*FItems);
    }
    return *FPeer;
}

void TMainMenu::ItemChanged(const TMenuItem& Item, bool Structure)
{
    if (!FPeer || IsDestroying())
        return;
    if (Structure)
        FPeer->Rebuild(*FItems);
    else
        FPeer->Refresh(Item);
}
