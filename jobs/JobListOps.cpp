#include "jobs/JobListOps.h"

#include "jobs/AddInHandOff.h"

#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

namespace jobs {

namespace {

constexpr int RowHeight = 16;
constexpr int ListHeight = 240;

int &countOf(TGyData &job, bool group)
{
    return group ? job.GrCount : job.DaCount;
}

int &currentOf(TGyData &job, bool group)
{
    return group ? job.TmpGrNo : job.TmpDaNo;
}

std::array<TKoData, MaxKoCount> &itemsOf(TGyData &job, bool group)
{
    return group ? job.GrKoDa : job.DaKoDa;
}

int lastIndex(int count, int max)
{
    return std::max(0, BoundedCount(count, max) - 1);
}

} // namespace

int GetItemSelect(int topIndex, int y)
{
    if (y < 0 || y >= ListHeight)
        return topIndex;
    return topIndex + y / RowHeight;
}

PopupStates DspPopup(EditList list, const TSetData &set, bool jobStackEmpty, bool itemStackEmpty)
{
    PopupStates s;
    const TGyData &job = set.GyData[BoundedCount(set.TmpGyNo, MaxGyCount - 1)];
    switch (list) {
    case EditList::Jobs:
        s.LstDel = s.LstCut = set.GyCount >= 2;
        s.LstCopy = true;
        s.LstInst = !jobStackEmpty;
        s.LstPast = !jobStackEmpty && set.GyCount >= 2;
        break;
    case EditList::Groups:
        s.LstDel = s.LstCut = s.LstCopy = job.GrCount >= 1;
        s.LstInst = !itemStackEmpty;
        s.LstPast = !itemStackEmpty && job.GrCount >= 1;
        break;
    case EditList::Data:
        s.LstDel = s.LstCut = job.DaCount >= 2;
        s.LstCopy = true;
        s.LstInst = !itemStackEmpty;
        s.LstPast = !itemStackEmpty && job.DaCount >= 1;
        break;
    }
    return s;
}

TKoData *currentItem(TGyData &job)
{
    const bool group = job.TmpGrFlg && job.GrCount > 0;
    const int count = BoundedCount(countOf(job, group), MaxKoCount);
    const int at = currentOf(job, group);
    if (at < 0 || at >= count)
        return nullptr;
    return &itemsOf(job, group)[at];
}

bool AddJob(TSetData &set, const TAddGyDat &add)
{
    if (set.GyCount >= MaxGyCount || add.GyName.isEmpty())
        return false;
    set.GyCount = BoundedCount(set.GyCount, MaxGyCount);
    InitGyData(set.GyData[set.GyCount], add);
    set.TmpGyNo = set.GyCount;
    ++set.GyCount;
    return true;
}

bool AddItem(TGyData &job, const TAddKoDat &add)
{
    int &count = countOf(job, add.GrFlg);
    if (count >= MaxKoCount || add.KName.isEmpty())
        return false;
    count = BoundedCount(count, MaxKoCount);
    TKoData &item = itemsOf(job, add.GrFlg)[count];
    const int type = std::clamp(add.KDType, 0, 9);
    InitKoData(item, add.KName, DataTypeLetter(type));
    item.KDType = type;
    currentOf(job, add.GrFlg) = count;
    job.TmpGrFlg = add.GrFlg;
    ++count;
    return true;
}

bool DeleteJob(TSetData &set, int at)
{
    if (set.GyCount <= 1 || !deleteEntry(set.GyData, set.GyCount, at))
        return false;
    set.TmpGyNo = std::min(at, set.GyCount - 1);
    return true;
}

bool DeleteGroupItem(TGyData &job, int at)
{
    if (job.GrCount <= 0 || !deleteEntry(job.GrKoDa, job.GrCount, at))
        return false;
    if (job.GrCount == 0) {
        job.TmpGrFlg = false;
        job.TmpGrNo = -1;
    } else {
        job.TmpGrFlg = true;
        job.TmpGrNo = std::min(at, job.GrCount - 1);
    }
    return true;
}

bool DeleteDataItem(TGyData &job, int at)
{
    if (job.DaCount <= 1 || !deleteEntry(job.DaKoDa, job.DaCount, at))
        return false;
    job.TmpGrFlg = false;
    job.TmpDaNo = std::min(at, job.DaCount - 1);
    return true;
}

bool DropJob(TSetData &set, int row)
{
    const int target = std::min(row, lastIndex(set.GyCount, MaxGyCount));
    if (!moveEntry(set.GyData, set.GyCount, set.TmpGyNo, target))
        return false;
    set.TmpGyNo = target;
    set.GyData[target].TmpGrFlg = false;
    return true;
}

bool DropItem(TGyData &job, bool group, int row)
{
    const int target = std::min(row, lastIndex(countOf(job, group), MaxKoCount));
    if (!moveEntry(itemsOf(job, group), countOf(job, group), currentOf(job, group), target))
        return false;
    currentOf(job, group) = target;
    job.TmpGrFlg = group;
    return true;
}

bool InsertJob(TSetData &set, const TGyData &entry)
{
    const int at = set.GyCount > 0 ? std::clamp(set.TmpGyNo, 0, set.GyCount - 1) : 0;
    if (!insertEntry(set.GyData, set.GyCount, at, entry))
        return false;
    set.TmpGyNo = at;
    return true;
}

bool OverwriteJob(TSetData &set, const TGyData &entry)
{
    if (set.TmpGyNo < 0 || set.TmpGyNo >= BoundedCount(set.GyCount, MaxGyCount))
        return false;
    set.GyData[set.TmpGyNo] = entry;
    return true;
}

bool InsertItem(TGyData &job, bool group, const TKoData &entry)
{
    int &count = countOf(job, group);
    const int current = currentOf(job, group);
    const int at = current >= 0 && current < count ? current : 0;
    if (!insertEntry(itemsOf(job, group), count, at, entry))
        return false;
    currentOf(job, group) = at;
    job.TmpGrFlg = group;
    return true;
}

bool OverwriteItem(TGyData &job, bool group, const TKoData &entry)
{
    const int current = currentOf(job, group);
    if (current < 0 || current >= BoundedCount(countOf(job, group), MaxKoCount))
        return false;
    itemsOf(job, group)[current] = entry;
    job.TmpGrFlg = group;
    return true;
}

namespace {

// Runs op with the stack's top and takes it off only when op did its work.
template <typename T, typename Op> bool withTop(EntryStack<T> &stack, Op op)
{
    std::optional<T> top = stack.pop();
    if (!top)
        return false;
    if (op(*top))
        return true;
    stack.push(*top);
    return false;
}

} // namespace

bool InsertFromStack(TSetData &set, EntryStack<TGyData> &stack)
{
    if (set.GyCount >= MaxGyCount)
        return false;
    return withTop(stack, [&](const TGyData &entry) { return InsertJob(set, entry); });
}

bool OverwriteFromStack(TSetData &set, EntryStack<TGyData> &stack)
{
    return withTop(stack, [&](const TGyData &entry) { return OverwriteJob(set, entry); });
}

bool InsertFromStack(TGyData &job, bool group, EntryStack<TKoData> &stack)
{
    if ((group ? job.GrCount : job.DaCount) >= MaxKoCount)
        return false;
    return withTop(stack, [&](const TKoData &entry) { return InsertItem(job, group, entry); });
}

bool OverwriteFromStack(TGyData &job, bool group, EntryStack<TKoData> &stack)
{
    return withTop(stack, [&](const TKoData &entry) { return OverwriteItem(job, group, entry); });
}

std::optional<AddGyFault> AddGyCheck(const AddGyFields &f)
{
    if (f.GNameSE.isEmpty())
        return AddGyFault{QStringLiteral("業務名を入力してください"), QStringLiteral("GNameSE")};
    const QChar mode = GyModeLetter(f.GModeCB);
    if (mode == u'r' && f.RNameSE.isEmpty())
        return AddGyFault{QStringLiteral("受信ファイル名を入力してください"), QStringLiteral("RNameSE")};
    if (mode == u'X') {
        if (f.PNameSE.isEmpty())
            return AddGyFault{QStringLiteral("プログラム名を入力してください"), QStringLiteral("PNameSE")};
        if (!AddInNameValid(f.PNameSE))
            return AddGyFault{QStringLiteral("プログラム名を再入力してください。"),
                              QStringLiteral("PNameSE")};
    }
    return std::nullopt;
}

bool AddInNameValid(const QString &name)
{
    // The hand-off's own check, so that the dialog never accepts a name the hand-off refuses.
    return CheckAddInName(name) == AddInNameCheck::Ok;
}

void ResetAddInData(TAddGyDat &add)
{
    add.AddInCount = 0;
    add.AddInData[0] = QByteArray("0") + QByteArray(AddInFirstLength - 1, ' ');
    for (int k = 1; k < AddInBlockCount; ++k)
        add.AddInData[k] = QByteArray(AddInLineLength, ' ');
}

} // namespace jobs
