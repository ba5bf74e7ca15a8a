#pragma once

// The import of a table from an Access database or an Excel workbook into the master editor's
// working copy: its captions and messages, and what the editor's command needs from its form (the
// field information dialog, the reader of a file, the table dialog), so the command runs without
// widgets.

#include "masters/tables/ChildTableSource.h"
#include "masters/tables/SelectTableRules.h"
#include "masters/tables/TableSource.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace masters {

inline const QString ImportDialogTitle = QStringLiteral("Ａｃｃｅｓｓ/Excelﾃﾞｰﾀｲﾝﾎﾟｰﾄ");
inline const QString ImportDialogFilter =
    QStringLiteral("Accessﾌｧｲﾙ (*.mdb *.mde *.accdb);;Excelﾌｧｲﾙ (*.xls *.xlsx)");
inline const QString SourceNameErrorText =
    QStringLiteral("アクセスまたはエクセルのデータソースを指定してください。");
inline const QString SourceNameErrorCaption = QStringLiteral("データソース名エラー");
inline const QString MissingReaderText =
    QStringLiteral("Microfoft Data Access Components(MDAC)がありません。");
inline const QString MissingReaderCaption = QStringLiteral("MDACエラー");
inline const QString ConnectErrorText = tables::ReaderFailureText;
inline const QString ConnectErrorCaption = QStringLiteral("接続エラー");
inline const QString ImportCaption = QStringLiteral("データインポート");
inline const QString SelectTableCaption = QStringLiteral("テーブル選択と項目指定");
inline const QString AssignmentErrorText = QStringLiteral("テーブルまたは項目の設定エラーです。");
inline const QString AssignmentErrorCaption = QStringLiteral("設定エラー");

// count + "件のデータをインポートしました。"
QString importCountMessage(qint64 count);

// What the table dialog ends with. ImportTable is set only by a run over the whole table; error
// only by a run that stopped part way (the reader's or the working copy's text), whose records the
// command takes back.
struct TableRun {
    QString ImportTable;
    qint64 ImportCount = 0;
    qint64 UnheldCells = 0; // cells whose characters code page 932 cannot hold became "?"
    QString error;
};

struct ImportHooks {
    // The field information dialog for a working copy the import makes; nothing when cancelled.
    std::function<std::optional<std::vector<int>>()> askWidths;
    // The reader of a file; nothing (with a text) when none can be had.
    std::function<std::unique_ptr<tables::TableSource>(const QString &path, QString &error)> openSource =
        &tables::openTableSource;
    // The table dialog over the source's tables, appending to sink with the master's widths.
    std::function<TableRun(tables::TableSource &source, const QStringList &tables,
                           const std::vector<int> &widths, tables::RecordSink &sink)>
        selectTable;
    // The page changed while the command runs on: show it (after a working copy was made, and
    // before the count is reported).
    std::function<void()> showPage;
};

struct ImportResult {
    bool created = false;  // the command made the working copy (and it is still open)
    bool imported = false; // records were appended and reported
};

} // namespace masters
