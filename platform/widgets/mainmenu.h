#pragma once
// The menu bar of a form: its Items are the bar's entries. A form shows it
// once its Menu names it; the form's client area lies below the bar.

#include "platform/widgets/menuitem.h"
#include "platform/widgets/widgethandle.h"

#include <memory>

class TMainMenu;

// What a main menu needs from the toolkit's menu bar.
class TMainMenuPeer {
public:
    virtual ~TMainMenuPeer() = default;
    // Builds the bar again from the item tree.
    virtual void Rebuild(const TMenuItem& Root) = 0;
    // Shows an item's caption, enabled state and visibility again.
    virtual void Refresh(const TMenuItem& Item) = 0;
    // Chooses the item as a person would (tests use it); false when it cannot be chosen.
    virtual bool Trigger(const TMenuItem& Item) = 0;
    // The bar widget that the form places above its client area.
    virtual TWidgetHandle Widget() const = 0;
};

std::unique_ptr<TMainMenuPeer> CreateMainMenuPeer(TMainMenu* Menu);

class TMainMenu : public TComponent {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

    // The bar's entries are this root item's items.
    TMenuItem* Items() const { return FItems.get(); }

    // The toolkit's bar, made on first use.
    TMainMenuPeer& Peer();
    bool HandleAllocated() const { return FPeer != nullptr; }

private:
    friend class TMenuItem;
    void ItemChanged(const TMenuItem& Item, bool Structure);

    std::unique_ptr<TMenuItem> FItems;
    std::unique_ptr<TMainMenuPeer> FPeer;
};
