#include "shell/filelevelsform.h"

#include "platform/kernel/classregistry.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/label.h"
#include "platform/widgets/listview.h"
#include "report/figurerows.h"
#include "report/markadvice.h"

namespace {

const char* const ColumnCaptions[] = {"", "left", "right"};
// A detail row (under the row it belongs to) is indented by this.
const char* const DetailIndent = "   ";

const TClassRegistration FileLevelsFormClass([] {
    RegisterComponentClass<TFileLevelsForm>("TFileLevelsForm", "TForm");
});

} // namespace

TFileLevelsForm::TFileLevelsForm(TComponent* AOwner) : TForm(AOwner)
{
    RegisterField("LabelHeading", LabelHeading);
    RegisterField("ListLevels", ListLevels);
    RegisterField("ButtonClose", ButtonClose);
    RegisterHandler("ButtonCloseClick", &TFileLevelsForm::ButtonCloseClick);
    AddFormDescription("FileLevels");
    LoadFormDescriptions();
}

bool TFileLevelsForm::ShowFigures(const std::string& FileName, const measure::TFileInfo& Info,
                                  const measure::TFileSummary& Summary)
{
    if (Info.Blocks == 0)
        return false;
    SetCaption("File levels - " + ExtractFileName(FileName));
    LabelHeading->SetCaption(measure::FileHeading(Info));
    ListLevels->Items().Clear();
    ListLevels->Columns().Clear();
    for (const char* caption : ColumnCaptions) {
        TListColumn* column = ListLevels->Columns().Add();
        column->SetCaption(caption);
        column->SetWidth(ColumnWidthFitHeader);
    }
    for (const auto& rows : {measure::LevelRows(Summary), measure::ClipRows(Summary)})
        for (const measure::TFigureRow& row : rows)
            AddRow((row.Detail ? DetailIndent : "") + row.Name, row.Left, row.Right);
    for (const measure::TMark& mark : measure::Marks)
        AddRow(Format("%s %.1f dB", mark.Name, -mark.BelowFullScaledB),
               measure::AdviseFor(Summary.Left.Percentile90dB(), mark).Text(),
               measure::AdviseFor(Summary.Right.Percentile90dB(), mark).Text());
    Show();
    return true;
}

void TFileLevelsForm::AddRow(const std::string& Name, const std::string& Left, const std::string& Right)
{
    TListItem* item = ListLevels->Items().Add();
    item->SetCaption(Name);
    item->SubItems().Add(Left);
    item->SubItems().Add(Right);
}

void TFileLevelsForm::ButtonCloseClick(TObject*)
{
    Close();
}
