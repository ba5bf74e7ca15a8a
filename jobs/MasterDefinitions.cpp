#include "jobs/MasterDefinitions.h"

#include "jobs/LetterCodes.h"

#include <algorithm>

namespace masterdef {

namespace {

bool hasItems(const TGyData &job)
{
    const QChar mode = GyModeLetter(job.GyMode);
    return mode == u'A' || mode == u'B' || mode == u'J';
}

// Calls f(item, ref) for every item a job of the set holds.
template <typename Set, typename F> void forEachItem(Set &set, F f)
{
    const int jobs = BoundedCount(set.GyCount, MaxGyCount);
    for (int j = 0; j < jobs; ++j) {
        auto &job = set.GyData[j];
        if (!hasItems(job))
            continue;
        for (int k = 0; k < BoundedCount(job.GrCount, MaxKoCount); ++k)
            f(job.GrKoDa[k], ItemRef{j, true, k});
        for (int k = 0; k < BoundedCount(job.DaCount, MaxKoCount); ++k)
            f(job.DaKoDa[k], ItemRef{j, false, k});
    }
}

int numberOf(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

TMstDat newMaster()
{
    TMstDat m;
    m.QDNum = 1;
    m.KeySize = 13;
    m.QDSize.fill(10);
    return m;
}

} // namespace

int RefFieldCount(const TMstDat &master)
{
    return std::clamp(master.QDNum, 1, MaxQDCount + 1) - 1;
}

int MasterUseCount(const TSetData &set, int number, ItemRef except)
{
    int uses = 0;
    forEachItem(set, [&](const TKoData &item, ItemRef ref) {
        if (item.KMstFlag && item.KMFNo == number && ref != except)
            ++uses;
    });
    return uses;
}

void CountMasterUses(TSetData &set)
{
    const int masters = BoundedCount(set.MstNum, MaxMstCount);
    for (TMstDat &m : set.MstDat)
        m.UseCount = 0;
    forEachItem(set, [&](const TKoData &item, ItemRef) {
        // Only a number that names a held master counts.
        if (item.KMstFlag && item.KMFNo >= 1 && item.KMFNo <= masters)
            ++set.MstDat[item.KMFNo - 1].UseCount;
    });
}

bool ReservedMasterName(const QString &name)
{
    static const char *const reserved[] = {".PD3", ".PD4", ".EX3", ".FN3", ".FLD",
                                           ".EXE", ".BAT", ".DLL", ".BNF", ".TMP"};
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = name.mid(dot);
    return std::any_of(std::begin(reserved), std::end(reserved),
                       [&](const char *r) { return ext == QLatin1String(r); });
}

MasterCopy::MasterCopy(const TSetData &set)
    : mstDat_(set.MstDat), mstNum_(BoundedCount(set.MstNum, MaxMstCount)), originalNum_(mstNum_)
{
    for (int n = 0; n <= MaxMstCount; ++n)
        numberOf_[n] = n <= originalNum_ ? n : 0;
}

int MasterCopy::find(const QString &name) const
{
    for (int i = 0; i < mstNum_; ++i)
        if (mstDat_[i].MFName == name)
            return i;
    return -1;
}

int MasterCopy::add(const MasterFields &fields)
{
    if (mstNum_ >= MaxMstCount)
        return -1;
    const int index = mstNum_++;
    mstDat_[index] = newMaster();
    mstDat_[index].MFName = fields.MFName;
    store(index, fields);
    return index;
}

void MasterCopy::store(int index, const MasterFields &fields)
{
    if (index < 0 || index >= mstNum_)
        return;
    TMstDat &m = mstDat_[index];
    m.KeySize = fields.KeySize;
    const int shown = std::clamp(fields.QDefNCB, 0, MaxQDCount - 1);
    m.QDNum = shown + 2;
    for (int i = 0; i <= shown; ++i)
        m.QDSize[i] = fields.QDSize[i];
}

bool MasterCopy::remove(int index)
{
    if (index < 0 || index >= mstNum_)
        return false;
    std::move(mstDat_.begin() + index + 1, mstDat_.begin() + mstNum_, mstDat_.begin() + index);
    --mstNum_;
    mstDat_[mstNum_] = newMaster();
    const int gone = index + 1;
    for (int &n : numberOf_) {
        if (n == gone)
            n = 0;
        else if (n > gone)
            --n;
    }
    return true;
}

int MasterCopy::renumbered(int kmfNo) const
{
    return kmfNo >= 1 && kmfNo <= originalNum_ ? numberOf_[kmfNo] : 0;
}

int MasterCopy::useCount(const TSetData &set, int index, ItemRef except) const
{
    int uses = 0;
    forEachItem(set, [&](const TKoData &item, ItemRef ref) {
        if (item.KMstFlag && ref != except && renumbered(item.KMFNo) == index + 1)
            ++uses;
    });
    return uses;
}

void MasterCopy::follow(TKoData &item) const
{
    if (item.KMFNo != 0)
        item.KMFNo = renumbered(item.KMFNo);
}

void MasterCopy::follow(TGyData &job) const
{
    // Every held item slot follows, also those beyond a job's counts, so that none refers to a
    // master that is no longer the one it meant.
    for (auto *items : {&job.GrKoDa, &job.DaKoDa})
        for (TKoData &item : *items)
            follow(item);
}

void MasterCopy::applyTo(TSetData &set) const
{
    for (TGyData &job : set.GyData)
        follow(job);
    set.MstDat = mstDat_;
    set.MstNum = mstNum_;
    CountMasterUses(set);
}

int FollowSelection(int sel, int deleted)
{
    if (sel == deleted)
        return -1;
    return sel > deleted ? sel - 1 : sel;
}

std::optional<InputFault> CheckMasterFields(const QString &name, const QString &keySize, int shown,
                                            const std::array<QString, MaxQDCount> &sizes)
{
    if (name.isEmpty())
        return InputFault{QStringLiteral("マスターファイル名を入力してください。"),
                          QStringLiteral("MFNameSE")};
    if (keySize.isEmpty())
        return InputFault{QStringLiteral("参照キーの桁数を入力してください。"), QStringLiteral("KeySizeNE")};
    const int rows = std::clamp(shown, 0, MaxQDCount - 1);
    for (int i = 0; i <= rows; ++i)
        if (sizes[i].isEmpty())
            return InputFault{QStringLiteral("参照データ桁数を入力してください。"),
                              QStringLiteral("QDSize%1NE").arg(i + 1)};
    return std::nullopt;
}

MasterFields MasterFieldsFrom(const QString &name, const QString &keySize, int shown,
                              const std::array<QString, MaxQDCount> &sizes)
{
    MasterFields f;
    f.MFName = name;
    f.KeySize = numberOf(keySize, 1);
    f.QDefNCB = std::clamp(shown, 0, MaxQDCount - 1);
    for (int i = 0; i < MaxQDCount; ++i)
        f.QDSize[i] = numberOf(sizes[i], 1);
    return f;
}

MasterFields MasterFieldsOf(const TMstDat &master)
{
    MasterFields f;
    f.MFName = master.MFName;
    f.KeySize = master.KeySize;
    f.QDefNCB = std::clamp(master.QDNum - 2, 0, MaxQDCount - 1);
    f.QDSize = master.QDSize;
    return f;
}

int Lowered(int index, int count)
{
    if (index < 0 || count <= 0)
        return -1;
    return std::min(index, count - 1);
}

namespace {

int offered(const MasterRefView &view, const MasterCopy &copy)
{
    return view.Sel >= 0 && view.Sel < copy.MstNum0() ? RefFieldCount(copy.MstDat0()[view.Sel]) : 0;
}

} // namespace

void FitToMaster(MasterRefView &view, const MasterCopy &copy)
{
    if (copy.MstNum0() <= 0) {
        view.Sel = -1;
    } else {
        view.Sel = Lowered(view.Sel, copy.MstNum0());
    }
    const int n = offered(view, copy);
    if (view.Sel < 0) {
        view.QD00CB = -1;
        view.QDCountCB = 0;
        // Without a master the reference boxes offer nothing.
        view.QDCB.fill(-1);
        return;
    }
    view.QD00CB = Lowered(view.QD00CB, n);
    view.QDCountCB = Lowered(view.QDCountCB, n + 1);
    for (int &qd : view.QDCB)
        qd = Lowered(qd, n);
}

MasterRefView GetMstDat(TKoData &item, int itemIndex, int listCount, const MasterCopy &copy)
{
    MasterRefView v;
    v.SetMKeyCheck = item.KMFKeySet;
    if (item.KMFKeySet) {
        v.MKeyTopNE = QString::number(item.KMFKeyTop);
        v.MKeyLenNE = QString::number(item.KMFKeyLen);
    }
    v.Sel = copy.MstNum0() > 0 ? item.KMFNo - 1 : -1;
    if (v.Sel >= copy.MstNum0())
        v.Sel = copy.MstNum0() - 1;
    v.Sel = std::max(v.Sel, -1);
    const int n = offered(v, copy);
    v.MstChk = item.KMstChk;
    v.DspStrChk = item.DspQDNo > 0;
    v.QD00CB = item.DspQDNo > 0 ? Lowered(item.DspQDNo - 1, n) : -1;
    const int countEntries = v.Sel >= 0 ? n + 1 : 1;
    item.SaveQDNum = std::clamp(item.SaveQDNum, 0, countEntries - 1);
    v.QDCountCB = item.SaveQDNum;
    const int receivers = std::max(0, listCount - itemIndex);
    for (int i = 0; i < item.SaveQDNum; ++i) {
        v.QDCB[i] = Lowered(item.QDNo[i] - 1, n);
        v.SaveCB[i] = Lowered(item.SDNo[i] - itemIndex, receivers);
    }
    return v;
}

std::optional<InputFault> CheckMasterRef(const MasterRefView &v)
{
    const QString partial = QStringLiteral("部分検索キーを設定してください。");
    if (v.SetMKeyCheck && v.MKeyTopNE.isEmpty())
        return InputFault{partial, QStringLiteral("MKeyTopNE")};
    if (v.SetMKeyCheck && v.MKeyLenNE.isEmpty())
        return InputFault{partial, QStringLiteral("MKeyLenNE")};
    if (v.Sel < 0)
        return InputFault{QStringLiteral("マスターファイルを設定してください。"), QStringLiteral("MasterCB")};
    if (v.DspStrChk && v.QD00CB < 0)
        return InputFault{QStringLiteral("表示文字列参照データを設定してください。"),
                          QStringLiteral("QD00CB")};
    if (v.QDCountCB < 0)
        return InputFault{QStringLiteral("データ参照項目数を設定してください。"),
                          QStringLiteral("QDCountCB")};
    for (int i = 0; i < std::min(v.QDCountCB, MaxQDCount); ++i) {
        if (v.QDCB[i] < 0)
            return InputFault{QStringLiteral("データ参照の参照データを設定してください。"),
                              QStringLiteral("QD%1CB").arg(i + 1, 2, 10, QLatin1Char('0'))};
        if (v.SaveCB[i] < 0)
            return InputFault{QStringLiteral("データ参照の保存項目を設定してください。"),
                              QStringLiteral("Save%1CB").arg(i + 1, 2, 10, QLatin1Char('0'))};
    }
    return std::nullopt;
}

void PutMstDat(const MasterRefView &v, TKoData &item, int itemIndex)
{
    item.KMFKeySet = v.SetMKeyCheck;
    if (v.SetMKeyCheck) {
        item.KMFKeyTop = numberOf(v.MKeyTopNE, 1);
        item.KMFKeyLen = numberOf(v.MKeyLenNE, 1);
    }
    item.KMFNo = v.Sel + 1;
    item.KMstChk = v.MstChk;
    item.DspQDNo = v.DspStrChk ? v.QD00CB + 1 : 0;
    item.SaveQDNum = std::clamp(v.QDCountCB, 0, MaxQDCount);
    for (int i = 0; i < item.SaveQDNum; ++i) {
        item.QDNo[i] = v.QDCB[i] + 1;
        item.SDNo[i] = v.SaveCB[i] + itemIndex;
    }
}

bool MKeyTopAccepts(const QString &text, QChar digit)
{
    bool ok = false;
    const int value = (text + digit).toInt(&ok);
    return ok && (value <= 3500 || value == 9999);
}

} // namespace masterdef
