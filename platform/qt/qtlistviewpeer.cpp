#include "platform/widgets/listview.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/qt/qtwidgetpeer.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

class TQtListViewPeer : public TQtWidgetPeer, public TListViewPeer {
public:
    TQtListViewPeer() : TQtWidgetPeer(new QTreeWidget())
    {
        Tree()->setRootIsDecorated(false);
        Tree()->setSelectionMode(QAbstractItemView::SingleSelection);
        Tree()->setSortingEnabled(false);
    }

    void ShowContents(const TListView& View) override
    {
        QTreeWidget* tree = Tree();
        if (!tree)
            return;
        const TListColumns& columns = View.Columns();
        const bool report = View.ViewStyle() == TViewStyle::vsReport;
        tree->clear();
        tree->setColumnCount(report ? std::max(1, columns.Count()) : 1);
        tree->setHeaderHidden(!report);
        QStringList headers;
        for (int c = 0; c < columns.Count(); ++c)
            headers << ToQString(columns.Items(c)->Caption());
        tree->setHeaderLabels(headers);
        tree->header()->setSectionsClickable(View.ColumnClick());
        tree->setEditTriggers(View.ReadOnly() ? QAbstractItemView::NoEditTriggers
                                              : QAbstractItemView::EditKeyPressed);
        AddRows(View, report ? columns.Count() : 1);
        SizeColumns(columns);
    }

    std::vector<std::vector<std::string>> ShownRows() const override
    {
        std::vector<std::vector<std::string>> rows;
        const QTreeWidget* tree = Tree();
        for (int r = 0; tree && r < tree->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* item = tree->topLevelItem(r);
            std::vector<std::string> row;
            for (int c = 0; c < tree->columnCount(); ++c)
                row.push_back(FromQString(item->text(c)));
            rows.push_back(row);
        }
        return rows;
    }

    std::vector<int> ShownColumnWidths() const override
    {
        std::vector<int> widths;
        const QTreeWidget* tree = Tree();
        for (int c = 0; tree && c < tree->columnCount(); ++c)
            widths.push_back(tree->header()->sectionSize(c));
        return widths;
    }

private:
    QTreeWidget* Tree() const { return static_cast<QTreeWidget*>(W()); }

    void AddRows(const TListView& View, int ColumnCount)
    {
        const TListItems& items = View.Items();
        for (int r = 0; r < items.Count(); ++r) {
            const TListItem* item = items.Items(r);
            auto* row = new QTreeWidgetItem(Tree());
            row->setText(0, ToQString(item->Caption()));
            for (int s = 0; s < item->SubItems().Count() && s + 1 < ColumnCount; ++s)
                row->setText(s + 1, ToQString(item->SubItems().Strings(s)));
        }
    }

    void SizeColumns(const TListColumns& Columns)
    {
        QHeaderView* header = Tree()->header();
        const bool lastFills = Columns.Count() > 0 && Columns.Items(Columns.Count() - 1)->Width() == ColumnWidthFitHeader;
        header->setStretchLastSection(lastFills);
        for (int c = 0; c < Columns.Count(); ++c) {
            const int width = Columns.Items(c)->Width();
            if (width >= 0)
                Tree()->setColumnWidth(c, width);
            else
                Tree()->resizeColumnToContents(c); // the header's text and the entries
        }
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateListViewPeer(TListView*)
{
    Application.Peer();
    return std::make_unique<TQtListViewPeer>();
}
