#include "platform/widgets/listview.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winwindowpeer.h"

#include <algorithm>

namespace {

constexpr int kTextCapacity = 1024; // characters read back from a cell

class TWinListViewPeer : public TWinWindowPeer, public TListViewPeer {
public:
    TWinListViewPeer()
        : TWinWindowPeer(CreateChild(WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE))
    {
        ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    }

    void ShowContents(const TListView& View) override
    {
        W32HWND list = Handle();
        const bool report = View.ViewStyle() == TViewStyle::vsReport;
        ListView_DeleteAllItems(list);
        while (ListView_DeleteColumn(list, 0)) {
        }
        LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE) & ~(LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER | LVS_EDITLABELS);
        style |= report ? 0 : LVS_NOCOLUMNHEADER;
        style |= View.ColumnClick() ? 0 : LVS_NOSORTHEADER;
        style |= View.ReadOnly() ? 0 : LVS_EDITLABELS;
        SetWindowLongPtrW(list, GWL_STYLE, style);
        const TListColumns& columns = View.Columns();
        const int columnCount = report ? std::max(1, columns.Count()) : 1;
        for (int c = 0; c < columnCount; ++c) {
            std::wstring caption = c < columns.Count() ? WideText(columns.Items(c)->Caption()) : std::wstring();
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_SUBITEM;
            column.pszText = caption.data();
            column.iSubItem = c;
            ListView_InsertColumn(list, c, &column);
        }
        AddRows(View, columnCount);
        SizeColumns(columns, columnCount);
    }

    std::vector<std::vector<std::string>> ShownRows() const override
    {
        std::vector<std::vector<std::string>> rows;
        const int columns = ColumnCount();
        const int count = ListView_GetItemCount(Handle());
        for (int r = 0; r < count; ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < columns; ++c) {
                wchar_t text[kTextCapacity] = {};
                ListView_GetItemText(Handle(), r, c, text, kTextCapacity);
                row.push_back(Utf8Text(text));
            }
            rows.push_back(row);
        }
        return rows;
    }

    std::vector<int> ShownColumnWidths() const override
    {
        std::vector<int> widths;
        for (int c = 0; c < ColumnCount(); ++c)
            widths.push_back(ListView_GetColumnWidth(Handle(), c));
        return widths;
    }

private:
    int ColumnCount() const
    {
        W32HWND header = reinterpret_cast<W32HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
        return header ? Header_GetItemCount(header) : 0;
    }

    void AddRows(const TListView& View, int ColumnCount)
    {
        const TListItems& items = View.Items();
        for (int r = 0; r < items.Count(); ++r) {
            const TListItem* item = items.Items(r);
            std::wstring caption = WideText(item->Caption());
            LVITEMW row{};
            row.mask = LVIF_TEXT;
            row.iItem = r;
            row.pszText = caption.data();
            const int index = ListView_InsertItem(Handle(), &row);
            for (int s = 0; s < item->SubItems().Count() && s + 1 < ColumnCount; ++s) {
                std::wstring text = WideText(item->SubItems().Strings(s));
                ListView_SetItemText(Handle(), index, s + 1, text.data());
            }
        }
    }

    void SizeColumns(const TListColumns& Columns, int ColumnCount)
    {
        for (int c = 0; c < ColumnCount; ++c) {
            const int width = c < Columns.Count() ? Columns.Items(c)->Width() : ColumnWidthFitContents;
            if (width >= 0)
                ListView_SetColumnWidth(Handle(), c, width);
            else if (width == ColumnWidthFitHeader && c == ColumnCount - 1)
                ListView_SetColumnWidth(Handle(), c, LVSCW_AUTOSIZE_USEHEADER); // the last one takes the rest
            else
                FitColumn(c);
        }
    }

    // As wide as the header's text and the entries, whichever is wider.
    void FitColumn(int Column)
    {
        ListView_SetColumnWidth(Handle(), Column, LVSCW_AUTOSIZE);
        const int entries = ListView_GetColumnWidth(Handle(), Column);
        ListView_SetColumnWidth(Handle(), Column, LVSCW_AUTOSIZE_USEHEADER);
        if (ListView_GetColumnWidth(Handle(), Column) < entries)
            ListView_SetColumnWidth(Handle(), Column, entries);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateListViewPeer(TListView*)
{
    Application.Peer();
    return std::make_unique<TWinListViewPeer>();
}
