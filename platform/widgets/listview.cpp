#include "platform/widgets/listview.h"

namespace {

// Size of a list view before anything sizes it, in pixels.
constexpr int kDefaultListWidth = 250;
constexpr int kDefaultListHeight = 150;

} // namespace

void TListColumn::SetCaption(const std::string& Value)
{
    FCaption = Value;
    FOwner.Changed();
}

void TListColumn::SetWidth(int Value)
{
    FWidth = Value;
    FOwner.Changed();
}

TListColumn* TListColumns::Add()
{
    FColumns.push_back(std::make_unique<TListColumn>(FOwner));
    FOwner.Changed();
    return FColumns.back().get();
}

void TListColumns::Clear()
{
    FColumns.clear();
    FOwner.Changed();
}

void TListSubItems::Add(const std::string& Text)
{
    FTexts.push_back(Text);
    FOwner.Changed();
}

void TListSubItems::Clear()
{
    FTexts.clear();
    FOwner.Changed();
}

void TListItem::SetCaption(const std::string& Value)
{
    FCaption = Value;
    FOwner.Changed();
}

TListItem* TListItems::Add()
{
    FItems.push_back(std::make_unique<TListItem>(FOwner));
    FOwner.Changed();
    return FItems.back().get();
}

void TListItems::Clear()
{
    FItems.clear();
    FOwner.Changed();
}

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner), FColumns(*this), FItems(*this)
{
    SetBounds(0, 0, kDefaultListWidth, kDefaultListHeight);
}

void TListView::SetViewStyle(TViewStyle Value)
{
    FViewStyle = Value;
    Changed();
}

void TListView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    Changed();
}

void TListView::SetColumnClick(bool Value)
{
    FColumnClick = Value;
    Changed();
}

const TListViewPeer* TListView::ListPeer() const
{
    return dynamic_cast<const TListViewPeer*>(Peer());
}

void TListView::Changed()
{
    WithPeer([this](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TListViewPeer*>(&p))
            peer->ShowContents(*this);
    });
}

std::unique_ptr<TControlPeer> TListView::CreatePeer()
{
    return CreateListViewPeer(this);
}

void TListView::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TListViewPeer*>(&APeer))
        peer->ShowContents(*this);
}
