#pragma once

#include "masters/MasterEditRules.h"
#include "masters/MasterFields.h"
#include "masters/MasterImport.h"
#include "masters/RecordStore.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
class HeldFile;
class UiService;
} // namespace platform

namespace masters {

struct Recovery;

// The master editor without its widgets: the working copy, the page of 20 records the grid shows,
// the current cell, and every command's effect on them. The form moves the page into its grid and
// the operator's typing into the page; boxes go through the UI service given.
//
// Rows are 1..20 and data columns 1..FldCnt, as in the grid. Only rows marked as changed (by an edit
// that changed a cell, by Enter on the entry row) are written back, so a record nobody edited keeps
// its bytes whatever they are.
class MasterEditModel {
public:
    explicit MasterEditModel(platform::UiService &ui);
    ~MasterEditModel();
    MasterEditModel(const MasterEditModel &) = delete;
    MasterEditModel &operator=(const MasterEditModel &) = delete;

    bool EditFlag = false;
    bool ChangeFlag = false;
    qint64 DTop = 1;
    int DLineCnt = 0;
    bool EndPage = false;
    std::vector<int> MstFld;
    int FldLen = 0;
    int TmpCol = 1;
    int TmpRow = 1;
    QString TmpValue;
    QString MstFileName;
    QString BhtName;
    // The working copy: a unique file "Mst..." in the user's temporary folder, held while the editor
    // lives and removed with it; the copies of editors that were killed go when the next one starts.
    QString TmpMst;

    int FldCnt() const { return static_cast<int>(MstFld.size()); }
    qint64 recordCount() const { return store_.count(); }
    const RecordStore &store() const { return store_; }

    // What the grid shows: the data cells, and column 0 (the record number of a record row and of
    // the entry row, empty below).
    QString cell(int row, int column) const;
    QString numberText(int row) const;
    // The row the next record is typed into, when the page has one.
    bool hasEntryRow() const { return DLineCnt < PageRows; }

    // Opens a new empty working copy with the widths. False (the file box shown) on failure.
    bool newFile(const std::vector<int> &widths);
    // Opens path as the master: refused names and bad width files are reported and open nothing.
    // askWidths runs the field information dialog for a master without a width file (nothing:
    // cancelled).
    bool openFile(const QString &path, const std::function<std::optional<std::vector<int>>()> &askWidths);
    // Saves the working copy as path with its width file; refusals and failures are reported, and
    // after a failure the working copy stays open and changed.
    bool saveFile(const QString &path);
    // The working copy is closed (and emptied); nothing is open.
    void closeFile();

    // The entry row: 0 empty (or none), 1 complete, 2 partly filled (reported, with the focus put
    // on the first empty cell).
    int ChkInpData();
    // Writes the changed rows of 1..DLineCnt + extra; with extra 1 the entry row becomes a record.
    bool WriteData(int extra);
    // Shows the page at DTop.
    bool DispData();
    // ChkInpData and WriteData as every command that leaves the page starts: false to stop.
    bool takeEntryRow();

    // The operator's typing into a cell: the text cut to the column's width (at a character
    // boundary), which the cell then holds.
    QString MasterGridSetEditText(int row, int column, const QString &text);
    // Escape in the current cell: it gets back the text it had before the edit (TmpValue), which is
    // returned; the row keeps the bytes it was read with. ChangeFlag stays: it may stand for other
    // edits as well.
    QString cancelCellEdit();
    // A click or a cursor move: the current cell, kept within rows 1..DLineCnt + 1.
    void MasterGridClick(int row, int column);
    // Enter in the current cell.
    void MasterGridKeyPress();

    void BackPaeBtnClick();
    void BackBtnClick();
    void NextBtnClick();
    void NextPageBtnClick();
    void InsBtnClick();
    void DelBtnClick();

    // "インポート": appends the rows of a table to the working copy, after its entry row; without an
    // open working copy it first makes one, and closes it again when nothing was imported. The
    // source dialog starts at DataSourceFile (forgotten when it is gone) or in DataSourceFolder,
    // which then name the source chosen.
    ImportResult ImportBtnClick(QString &DataSourceFolder, QString &DataSourceFile, const ImportHooks &hooks);

    // The send's precondition: the entry row taken and at least one record. Proposes the terminal
    // name when none was given yet.
    bool prepareSend();

private:
    bool fileError();
    // Busy and refused open or save: the message that says why; false.
    bool refuseFiles(const Recovery &recovery, bool saving);
    void clearPage();
    void followCell();
    qint64 recordOf(int row) const { return DTop - 1 + row - 1; }
    QStringList rowCells(int row) const;

    platform::UiService &ui_;
    std::unique_ptr<platform::HeldFile> workingName_;
    RecordStore store_;
    std::array<std::array<QString, MaxFields>, PageRows> cells_{};
    std::array<std::array<QString, MaxFields>, PageRows> shown_{};
    std::array<bool, PageRows> changed_{};
    // Each record row's bytes as read, for the cells the operator leaves as they are.
    std::array<QByteArray, PageRows> read_{};
};

} // namespace masters
