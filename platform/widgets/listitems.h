#pragma once
// The columns and rows of a list view. Every change is shown at once.

#include <memory>
#include <string>
#include <vector>

class TListView;

// Column widths that are measured rather than given.
enum : int {
    ColumnWidthFitContents = -1, // as wide as the widest entry
    ColumnWidthFitHeader = -2,   // as wide as the header text and the entries; the last column takes the rest
};

class TListColumn {
public:
    explicit TListColumn(TListView& Owner) : FOwner(Owner) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Pixels, or ColumnWidthFitContents / ColumnWidthFitHeader.
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    TListView& FOwner;
    std::string FCaption;
    int FWidth = 50;
};

class TListColumns {
public:
    explicit TListColumns(TListView& Owner) : FOwner(Owner) {}
    TListColumn* Add();
    void Clear();
    int Count() const { return static_cast<int>(FColumns.size()); }
    TListColumn* Items(int Index) const { return FColumns.at(static_cast<size_t>(Index)).get(); }

private:
    TListView& FOwner;
    std::vector<std::unique_ptr<TListColumn>> FColumns;
};

// The texts of a row after its caption, one per further column.
class TListSubItems {
public:
    explicit TListSubItems(TListView& Owner) : FOwner(Owner) {}
    void Add(const std::string& Text);
    void Clear();
    int Count() const { return static_cast<int>(FTexts.size()); }
    const std::string& Strings(int Index) const { return FTexts.at(static_cast<size_t>(Index)); }

private:
    TListView& FOwner;
    std::vector<std::string> FTexts;
};

class TListItem {
public:
    explicit TListItem(TListView& Owner) : FOwner(Owner), FSubItems(Owner) {}
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TListSubItems& SubItems() { return FSubItems; }
    const TListSubItems& SubItems() const { return FSubItems; }

private:
    TListView& FOwner;
    std::string FCaption;
    TListSubItems FSubItems;
};

class TListItems {
public:
    explicit TListItems(TListView& Owner) : FOwner(Owner) {}
    TListItem* Add();
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TListItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }

private:
    TListView& FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
};
