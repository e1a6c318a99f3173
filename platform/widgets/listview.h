#pragma once
// A list of rows. In report style it shows the columns with a header: each
// row's caption in the first column and its sub-items in the next ones.

#include "platform/widgets/listitems.h"
#include "platform/widgets/wincontrol.h"

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// What a list view needs from its toolkit widget beyond a control's needs.
class TListViewPeer {
public:
    virtual ~TListViewPeer() = default;
    // Shows the view's columns, rows and settings again.
    virtual void ShowContents(const TListView& View) = 0;
    // The texts of the rows as shown, each row its columns left to right (tests read them).
    virtual std::vector<std::vector<std::string>> ShownRows() const = 0;
    // The widths of the columns as shown, in pixels.
    virtual std::vector<int> ShownColumnWidths() const = 0;
};

std::unique_ptr<TControlPeer> CreateListViewPeer(TListView* View);

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* AOwner);

    TListColumns& Columns() { return FColumns; }
    const TListColumns& Columns() const { return FColumns; }
    TListItems& Items() { return FItems; }
    const TListItems& Items() const { return FItems; }

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    // The user cannot edit captions.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Header clicks are taken (sorting); off leaves the header inert.
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool Value);

    // The peer, for reading what it shows (nullptr before it exists).
    const TListViewPeer* ListPeer() const;
    // Columns, rows or settings changed.
    void Changed();

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    TListColumns FColumns;
    TListItems FItems;
    TViewStyle FViewStyle = TViewStyle::vsIcon;
    bool FReadOnly = false;
    bool FColumnClick = true;
};
