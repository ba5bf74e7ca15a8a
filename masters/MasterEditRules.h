#pragma once

// The master editor's frame without its widgets: captions and messages, which tool buttons a state
// enables, the names a file dialog may not return, the column titles, the terminal name proposed
// for a send and where the last master and import source are remembered.

#include <QString>
#include <vector>

namespace platform {
class TRegistry;
}

namespace masters {

inline constexpr int PageRows = 20;
// Columns are at least this many characters wide.
inline constexpr int MinColChars = 15;

inline const QString EditorCaption = QStringLiteral("マスターファイル編集");
inline const QString NewFileCaption = QStringLiteral("マスターファイル新規作成");
inline const QString OpenDialogTitle = QStringLiteral("マスターファイルを開く");
inline const QString SaveDialogTitle = QStringLiteral("マスターデータ保存");
inline const QString SaveRefusalCaption = QStringLiteral("マスターファイル保存");
inline const QString MasterDialogFilter = QStringLiteral("マスターファイル (*)");
inline const QString DiscardQuestion = QStringLiteral("編集中のデータを破棄してもいいですか？");
inline const QString ChangedQuestion =
    QStringLiteral("データが変更されています。\r\n編集中のデータを破棄してもいいですか？");
inline const QString FileErrorText = QStringLiteral("ファイルアクセスができません");
inline const QString FileErrorCaption = QStringLiteral("ファイルエラー");
inline const QString BadWidthsText = QStringLiteral("フィールドデータが異常です。");
inline const QString BadWidthsCaption = QStringLiteral("フィールド情報エラー");

// "マスターファイル（name）編集" for the file path's name part.
QString fileCaption(const QString &path);

struct MasterButtonStates {
    bool NewBtn = true;
    bool OpenBtn = true;
    bool ImportBtn = true;
    bool SaveBtn = false;
    bool SendBtn = false;
    bool BackPaeBtn = false;
    bool BackBtn = false;
    bool NextBtn = false;
    bool NextPageBtn = false;
    bool InsBtn = false;
    bool DelBtn = false;
    bool CloseBtn = false;
    bool EndBtn = true;
    friend bool operator==(const MasterButtonStates &, const MasterButtonStates &) = default;
};
// EnableBtn: the buttons with a file open or not.
MasterButtonStates EnableBtn(bool open);

// A file the editor does not take as a master, by its extension in any letter case (program,
// width, workbook, database and library files).
bool isRefusedMasterName(const QString &path);
// The refusals of the open and the save dialog: the name, CR LF and the reason.
QString openRefusalText(const QString &path);
QString saveRefusalText(const QString &path);

// Whether two paths name the same file (links followed); false when either does not exist.
bool sameFile(const QString &a, const QString &b);

// The title of data column c (1 for the key) of the given width.
QString columnTitle(int column, int width);
// The name of data column c in the entry-row message ("参照キー", "参照データ１"...).
QString columnName(int column);
// The pixel width of a data column of the given byte width.
int columnPixels(int width);
// "No" + record + "の" + the first empty column's name + "を入力してください。"
QString entryRowMessage(qint64 record, int emptyColumn);
// "ﾚｺｰﾄﾞNo" + record + "を削除してもいいですか？"
QString deleteQuestion(qint64 record);
inline const QString DeleteCaption = QStringLiteral("データ削除");
// A master whose record (1-based) does not end in CR LF, so that its widths do not fit its records:
// "ﾚｺｰﾄﾞNo" + record + "が改行(CR LF)で終わっていません。"
QString lineEndRefusal(qint64 record);

// The terminal file name proposed for a master: its name upper-cased when it has fewer than 13
// bytes, all of them ".", digits, letters or the six characters between "Z" and "a"; else empty.
QString proposedBhtName(const QString &masterPath);

// The field widths as a field list: "10,20,8".
QString fieldList(const std::vector<int> &widths);

// The last master and import source. Folders end in "/" when not empty.
struct MasterLocation {
    QString MasterFolder;
    QString MasterFile;
    QString DataSourceFolder;
    QString DataSourceFile;
};
MasterLocation readMasterLocation(platform::TRegistry &registry);
// False when the key cannot be opened or a value cannot be written.
bool writeMasterLocation(platform::TRegistry &registry, const MasterLocation &location);

} // namespace masters
