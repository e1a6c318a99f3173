#include "platform/dialogs/opendialog.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// "Wav files (*.wav)" with patterns {"*.wav"} stays as it is; a name that does
// not show its patterns gets them in brackets, which is where Qt looks.
QString QtNameFilter(const TFileFilter& Filter)
{
    QStringList patterns;
    for (const std::string& pattern : Filter.Patterns)
        patterns << ToQString(pattern);
    const QString shown = QStringLiteral("(") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")");
    const QString name = ToQString(Filter.Name);
    return name.endsWith(shown) ? name : name + QLatin1Char(' ') + shown;
}

void Prepare(QFileDialog& Dialog, const TOpenDialog& Source, const std::string& FileName)
{
    const TOpenOptions options = Source.Options();
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setFileMode((options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    Dialog.setOption(QFileDialog::ReadOnly, false);
    Dialog.setSizeGripEnabled((options & ofEnableSizing) != 0);
    if (!Source.Title().empty())
        Dialog.setWindowTitle(ToQString(Source.Title()));
    QStringList filters;
    for (const TFileFilter& filter : Source.Filters())
        filters << QtNameFilter(filter);
    if (!filters.isEmpty()) {
        Dialog.setNameFilters(filters);
        const int index = Source.FilterIndex() - 1;
        Dialog.selectNameFilter(filters.at(index >= 0 && index < filters.size() ? index : 0));
    }
    const QFileInfo start(ToQString(FileName));
    if (!Source.InitialDir().empty())
        Dialog.setDirectory(ToQString(Source.InitialDir()));
    else if (!FileName.empty() && start.dir().exists())
        Dialog.setDirectory(start.absolutePath());
    if (!FileName.empty())
        Dialog.selectFile(start.fileName());
}

} // namespace

bool RunOpenFileDialog(const TOpenDialog& Dialog, std::string& FileName)
{
    Application.Peer();
    QFileDialog dialog;
    Prepare(dialog, Dialog, FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = FromQString(dialog.selectedFiles().front());
    return true;
}
