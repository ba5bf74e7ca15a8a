#include "MasterEditModel.h"

#include "common/FerPrgLib.h"
#include "masters/MasterLock.h"
#include "masters/MasterSave.h"
#include "masters/SaveRecovery.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"
#include "platform/HeldFile.h"
#include "platform/PrivateFolder.h"
#include "platform/UiService.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace masters {

namespace {

const QString WorkingCopyPrefix = QStringLiteral("Mst");

platform::MsgStyle warningStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Exclamation;
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

platform::MsgStyle stopStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    return style;
}

platform::MsgStyle questionStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Question;
    style.buttons = platform::MsgButtons::YesNo;
    return style;
}

} // namespace

MasterEditModel::MasterEditModel(platform::UiService &ui) : ui_(ui)
{
    const QString folder = platform::userTempFolder();
    if (folder.isEmpty())
        return;
    platform::HeldFile::removeUnheld(folder, WorkingCopyPrefix);
    workingName_ = std::make_unique<platform::HeldFile>();
    if (workingName_->create(folder, WorkingCopyPrefix))
        TmpMst = workingName_->path();
}

MasterEditModel::~MasterEditModel() = default;

bool MasterEditModel::fileError()
{
    ui_.messageBox(FileErrorText, FileErrorCaption, stopStyle());
    return false;
}

bool MasterEditModel::refuseFiles(const Recovery &recovery, bool saving)
{
    if (recovery.status == Recovery::Status::Failed)
        return fileError();
    ui_.messageBox(recovery.refusalText(saving), FileErrorCaption, stopStyle());
    return false;
}

QString MasterEditModel::cell(int row, int column) const
{
    if (row < 1 || row > PageRows || column < 1 || column > FldCnt())
        return {};
    return cells_[row - 1][column - 1];
}

QString MasterEditModel::numberText(int row) const
{
    if (!EditFlag || row < 1 || row > DLineCnt + 1 || row > PageRows)
        return {};
    return QString::number(DTop + row - 1);
}

QStringList MasterEditModel::rowCells(int row) const
{
    QStringList cells;
    for (int c = 0; c < FldCnt(); ++c)
        cells << cells_[row - 1][c];
    return cells;
}

void MasterEditModel::clearPage()
{
    for (int r = 0; r < PageRows; ++r) {
        cells_[r].fill(QString());
        shown_[r].fill(QString());
        read_[r].clear();
        changed_[r] = false;
    }
    DLineCnt = 0;
}

void MasterEditModel::followCell()
{
    TmpRow = std::clamp(TmpRow, 1, std::min(DLineCnt + 1, PageRows));
    TmpCol = std::clamp(TmpCol, 1, std::max(FldCnt(), 1));
    TmpValue = cell(TmpRow, TmpCol);
}

bool MasterEditModel::newFile(const std::vector<int> &widths)
{
    closeFile();
    if (widths.empty() || static_cast<int>(widths.size()) > MaxFields ||
        recordLength(widths) > MaxRecordLength)
        return false;
    MstFld = widths;
    FldLen = recordLength(widths);
    if (TmpMst.isEmpty() || !store_.create(TmpMst, FldLen + 2))
        return fileError();
    DTop = 1;
    TmpCol = TmpRow = 1;
    TmpValue.clear();
    EditFlag = true;
    BhtName.clear();
    MstFileName.clear();
    return DispData();
}

bool MasterEditModel::openFile(const QString &path,
                               const std::function<std::optional<std::vector<int>>()> &askWidths)
{
    closeFile();
    // A link is followed for the records and for the width file alike: the pair is the target's.
    const QString target = platform::AtomicFile::followLinks(path).value_or(path);
    // The working copy is no master: opening it would empty what it is copied from.
    if (isRefusedMasterName(path) || isRefusedMasterName(target) || sameFile(path, TmpMst)) {
        ui_.messageBox(openRefusalText(isRefusedMasterName(path) ? path : target), OpenDialogTitle,
                       warningStyle());
        return false;
    }
    // Another program's save of the master is waited for and one that was cut short is undone first;
    // the pair is then read while no save can replace it.
    MasterLock lock(target);
    if (const Recovery recovery = recoverInterruptedSaves(lock); !recovery.ok())
        return refuseFiles(recovery, false);
    const WidthFileRead widthFile = readWidthFile(target);
    std::vector<int> widths;
    switch (widthFile.status) {
    case WidthFileRead::Status::Invalid:
        ui_.messageBox(BadWidthsText, BadWidthsCaption, warningStyle());
        return false;
    case WidthFileRead::Status::Ok:
        widths = widthFile.widths;
        break;
    case WidthFileRead::Status::Missing: {
        lock.release(); // nobody waits for the operator
        const std::optional<std::vector<int>> asked = askWidths ? askWidths() : std::nullopt;
        if (!asked)
            return false;
        if (const MasterLock::Status status = lock.acquire();
            status != MasterLock::Status::Held && status != MasterLock::Status::NoLockFile)
            return refuseFiles(recoverInterruptedSaves(lock), false);
        widths = *asked;
        break;
    }
    }
    MstFld = widths;
    FldLen = recordLength(widths);
    qint64 unended = -1;
    if (TmpMst.isEmpty() || !store_.create(TmpMst, FldLen + 2) || !store_.copyIn(path) ||
        !store_.findRecordWithoutLineEnd(unended)) {
        closeFile();
        return fileError();
    }
    // Records of other widths, or lines ended by LF alone, would show shifted into the wrong fields.
    if (unended >= 0) {
        closeFile();
        ui_.messageBox(lineEndRefusal(unended + 1), FileErrorCaption, stopStyle());
        return false;
    }
    MstFileName = path;
    DTop = 1;
    TmpCol = TmpRow = 1;
    TmpValue.clear();
    EditFlag = true;
    BhtName.clear();
    return DispData();
}

bool MasterEditModel::saveFile(const QString &path)
{
    const QString target = platform::AtomicFile::followLinks(path).value_or(path);
    if (isRefusedMasterName(path) || isRefusedMasterName(target) || sameFile(path, TmpMst)) {
        ui_.messageBox(saveRefusalText(isRefusedMasterName(path) ? path : target), SaveRefusalCaption,
                       warningStyle());
        return false;
    }
    bool busy = false;
    if (!saveMasterFiles(store_, path, MstFld, nullptr, &busy))
        return busy ? refuseFiles(Recovery{Recovery::Status::Busy, target, {}}, true) : fileError();
    MstFileName = path;
    ChangeFlag = false;
    return true;
}

void MasterEditModel::closeFile()
{
    if (store_.isOpen()) {
        // The copy of a closed master stays no longer than it is needed.
        store_.truncate(0);
        store_.close();
    }
    EditFlag = false;
    ChangeFlag = false;
    clearPage();
    DTop = 1;
    EndPage = false;
}

int MasterEditModel::ChkInpData()
{
    if (!EditFlag || DLineCnt >= PageRows)
        return 0;
    const int row = DLineCnt + 1;
    int firstEmpty = 0;
    bool anyFilled = false;
    for (int c = 1; c <= FldCnt(); ++c) {
        if (cell(row, c).isEmpty()) {
            if (firstEmpty == 0)
                firstEmpty = c;
        } else {
            anyFilled = true;
        }
    }
    if (firstEmpty == 0)
        return 1;
    if (!anyFilled)
        return 0;
    ui_.messageBox(entryRowMessage(DTop + DLineCnt, firstEmpty), QStringLiteral("入力エラー"),
                   warningStyle());
    TmpRow = row;
    TmpCol = firstEmpty;
    TmpValue = cell(TmpRow, TmpCol);
    return 2;
}

bool MasterEditModel::WriteData(int extra)
{
    if (!EditFlag)
        return false;
    const int rows = std::min(DLineCnt + extra, PageRows);
    if (extra > 0 && DLineCnt < PageRows)
        changed_[DLineCnt] = true;
    for (int r = 1; r <= rows; ++r) {
        if (!changed_[r - 1])
            continue;
        QStringList shown;
        for (int c = 0; c < FldCnt(); ++c)
            shown << shown_[r - 1][c];
        const QByteArray record = encodeEditedRecord(rowCells(r), shown, read_[r - 1], MstFld);
        if (!store_.writeRecord(recordOf(r), record))
            return fileError();
        changed_[r - 1] = false;
        shown_[r - 1] = cells_[r - 1];
        read_[r - 1] = record.left(FldLen);
    }
    DLineCnt = rows;
    return true;
}

bool MasterEditModel::DispData()
{
    clearPage();
    QByteArray records;
    const bool read = store_.readRecords(DTop - 1, PageRows, records);
    const int length = FldLen + 2;
    const int n = read ? static_cast<int>(records.size() / length) : 0;
    for (int r = 0; r < n; ++r) {
        read_[r] = records.mid(static_cast<qsizetype>(r) * length, FldLen);
        const QStringList cells = decodeRecord(read_[r], MstFld);
        for (int c = 0; c < FldCnt(); ++c)
            cells_[r][c] = shown_[r][c] = cells.at(c);
    }
    DLineCnt = n;
    EndPage = store_.count() - (DTop - 1) <= PageRows;
    followCell();
    return read || fileError();
}

bool MasterEditModel::takeEntryRow()
{
    const int entry = ChkInpData();
    return entry != 2 && WriteData(entry);
}

QString MasterEditModel::MasterGridSetEditText(int row, int column, const QString &text)
{
    if (!EditFlag || row < 1 || row > std::min(DLineCnt + 1, PageRows) || column < 1 || column > FldCnt())
        return cell(row, column);
    const QString cut = CutToBytes(text, MstFld[column - 1]);
    if (cut != TmpValue)
        ChangeFlag = true;
    if (cut != shown_[row - 1][column - 1])
        changed_[row - 1] = true;
    cells_[row - 1][column - 1] = cut;
    return cut;
}

QString MasterEditModel::cancelCellEdit()
{
    if (EditFlag && TmpRow >= 1 && TmpRow <= PageRows && TmpCol >= 1 && TmpCol <= FldCnt())
        cells_[TmpRow - 1][TmpCol - 1] = TmpValue;
    return cell(TmpRow, TmpCol);
}

void MasterEditModel::MasterGridClick(int row, int column)
{
    TmpRow = row;
    TmpCol = column;
    followCell();
}

void MasterEditModel::MasterGridKeyPress()
{
    if (!EditFlag || cell(TmpRow, TmpCol).isEmpty())
        return;
    if (TmpCol < FldCnt()) {
        ++TmpCol;
        TmpValue = cell(TmpRow, TmpCol);
        return;
    }
    TmpCol = 1;
    if (!cell(TmpRow, 1).isEmpty()) {
        if (TmpRow > DLineCnt) {
            changed_[TmpRow - 1] = true;
            DLineCnt = TmpRow;
        }
        if (!WriteData(0))
            return;
        if (TmpRow == PageRows)
            ++DTop;
        else
            ++TmpRow;
        DispData();
    }
    TmpValue = cell(TmpRow, TmpCol);
}

void MasterEditModel::BackPaeBtnClick()
{
    if (!EditFlag || DTop < 2 || !takeEntryRow())
        return;
    DTop = std::max<qint64>(1, DTop - PageRows);
    DispData();
}

void MasterEditModel::BackBtnClick()
{
    if (!EditFlag || DTop < 2 || !takeEntryRow())
        return;
    --DTop;
    DispData();
}

void MasterEditModel::NextBtnClick()
{
    if (!EditFlag || DTop >= store_.count() || !takeEntryRow())
        return;
    ++DTop;
    DispData();
}

void MasterEditModel::NextPageBtnClick()
{
    if (!EditFlag || EndPage || !takeEntryRow())
        return;
    DTop += PageRows;
    DispData();
}

void MasterEditModel::InsBtnClick()
{
    if (!EditFlag || !takeEntryRow() || store_.count() == 0)
        return;
    // The current row is at most the entry row, so the place is at most the end.
    const qint64 place = std::min(recordOf(TmpRow), store_.count());
    if (!store_.insertRecord(place, encodeRecord({}, MstFld))) {
        fileError();
        DispData();
        return;
    }
    ChangeFlag = true;
    DispData();
}

void MasterEditModel::DelBtnClick()
{
    if (!EditFlag || TmpRow > DLineCnt)
        return;
    const qint64 record = recordOf(TmpRow);
    if (ui_.messageBox(deleteQuestion(record + 1), DeleteCaption, questionStyle()) !=
        platform::MsgResult::Yes)
        return;
    if (!takeEntryRow())
        return;
    if (!store_.removeRecord(record)) {
        fileError();
        DispData();
        return;
    }
    ChangeFlag = true;
    // A page left without records shows the page before.
    if (DTop > 1 && DTop - 1 >= store_.count())
        DTop = std::max<qint64>(1, DTop - PageRows);
    DispData();
}

bool MasterEditModel::prepareSend()
{
    if (!EditFlag || !takeEntryRow() || store_.count() == 0)
        return false;
    if (BhtName.isEmpty())
        BhtName = proposedBhtName(MstFileName);
    return true;
}

} // namespace masters
