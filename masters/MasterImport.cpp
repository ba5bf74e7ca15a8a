#include "masters/MasterImport.h"

#include "common/FileDialogStart.h"
#include "masters/MasterEditModel.h"
#include "platform/UiService.h"

#include <QFileInfo>

namespace masters {

QString importCountMessage(qint64 count)
{
    return QString::number(count) + QStringLiteral("件のデータをインポートしました。");
}

namespace {

platform::MsgStyle style(platform::MsgIcon icon)
{
    platform::MsgStyle s;
    s.icon = icon;
    if (icon == platform::MsgIcon::Exclamation) {
        s.modality = platform::MsgModality::Task;
        s.foreground = true;
    }
    return s;
}

// Appends each record at the end of the working copy.
class StoreSink final : public tables::RecordSink {
public:
    explicit StoreSink(RecordStore &store) : store_(store) {}
    bool appendRecord(const QByteArray &record, QString &error) override
    {
        if (store_.writeRecord(store_.count(), record))
            return true;
        error = FileErrorText + QStringLiteral("\r\n") + store_.errorString();
        return false;
    }

private:
    RecordStore &store_;
};

} // namespace

ImportResult MasterEditModel::ImportBtnClick(QString &DataSourceFolder, QString &DataSourceFile,
                                             const ImportHooks &hooks)
{
    ImportResult result;
    if (EditFlag) {
        // Like every command that leaves the page: a typed entry row would be lost otherwise.
        if (!takeEntryRow())
            return result;
    } else {
        closeFile();
        MstFileName.clear();
        const std::optional<std::vector<int>> widths = hooks.askWidths ? hooks.askWidths() : std::nullopt;
        if (!widths || !newFile(*widths))
            return result;
        result.created = true;
        if (hooks.showPage)
            hooks.showPage();
    }
    const auto undoCreation = [&] {
        if (result.created) {
            closeFile();
            result.created = false;
        }
    };

    bool forget = false;
    const filedialog::DialogStart start =
        filedialog::openDialogStart(DataSourceFolder, DataSourceFile,
                                    !DataSourceFile.isEmpty() && QFileInfo(DataSourceFile).isFile(), &forget);
    if (forget)
        DataSourceFile.clear();
    const QString chosen =
        ui_.openFileName(ImportDialogTitle, filedialog::dialogPath(start), ImportDialogFilter);
    if (chosen.isEmpty()) {
        undoCreation();
        return result;
    }
    if (tables::sourceKindOf(chosen) == tables::SourceKind::None) {
        ui_.messageBox(SourceNameErrorText, SourceNameErrorCaption, style(platform::MsgIcon::Exclamation));
        undoCreation();
        return result;
    }
    DataSourceFolder = filedialog::folderOf(chosen);
    DataSourceFile = chosen;

    QString error;
    std::unique_ptr<tables::TableSource> source =
        hooks.openSource ? hooks.openSource(chosen, error) : nullptr;
    if (!source) {
        // A working copy made above stays open, empty, as after "新規作成".
        ui_.messageBox(MissingReaderText, MissingReaderCaption, style(platform::MsgIcon::Stop));
        return result;
    }
    QStringList tableNames;
    if (!source->listTables(tableNames, error)) {
        source.reset();
        // The reader's reason (an encrypted or damaged workbook, one of a format it cannot read)
        // follows the message, so the operator knows what to do about the file.
        const QString text = error.isEmpty() || error == ConnectErrorText
                                 ? ConnectErrorText
                                 : ConnectErrorText + QStringLiteral("\r\n") + error;
        ui_.messageBox(text, ConnectErrorCaption, style(platform::MsgIcon::Stop));
        undoCreation();
        return result;
    }

    const qint64 before = store_.count();
    StoreSink sink(store_);
    const TableRun run =
        hooks.selectTable ? hooks.selectTable(*source, tableNames, MstFld, sink) : TableRun{};
    source.reset();
    if (!run.ImportTable.isEmpty() && run.error.isEmpty()) {
        DispData();
        if (hooks.showPage)
            hooks.showPage();
        // Such cells are imported as the other rows are, but never without a word.
        QString done = importCountMessage(run.ImportCount);
        if (run.UnheldCells > 0)
            done +=
                QStringLiteral("\r\nシフトJISで表せない文字を含むセルが%1件あり、その文字は「?」にしました。")
                    .arg(run.UnheldCells);
        ui_.messageBox(done, ImportCaption, style(platform::MsgIcon::Information));
        ChangeFlag = true;
        result.imported = true;
        return result;
    }
    // A run cut short takes nothing: the working copy goes back to what it held before.
    if (store_.count() != before && !store_.truncate(before)) {
        // The records stay; the working copy no longer matches what was saved.
        fileError();
        ChangeFlag = true;
        result.created = false;
        DispData();
        return result;
    }
    if (!run.error.isEmpty())
        ui_.messageBox(run.error, ImportCaption, style(platform::MsgIcon::Stop));
    undoCreation();
    if (EditFlag)
        DispData();
    return result;
}

} // namespace masters
