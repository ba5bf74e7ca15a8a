#include <gtest/gtest.h>

#include <QBuffer>

#include <memory>

#include "jobs/BnfFile.h"
#include "jobs/CheckBnfDat.h"
#include "jobs/LetterCodes.h"
#include "jobs/MasterDefinitions.h"

using namespace masterdef;

namespace {

std::unique_ptr<TSetData> newSet()
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    return set;
}

TMstDat master(const char *name, int refs)
{
    TMstDat m;
    m.MFName = QString::fromLatin1(name);
    m.QDNum = refs + 1;
    m.KeySize = 13;
    m.QDSize.fill(10);
    return m;
}

void refer(TKoData &item, int number)
{
    item.KMstFlag = true;
    item.KMFNo = number;
    item.KMstChk = true;
}

// Three masters; job 1 (mode A) has a group item on master 2 and data items on 3 and 2; job 2
// (mode B) a data item on master 3.
std::unique_ptr<TSetData> setWithMasters()
{
    auto set = newSet();
    set->MstDat[0] = master("SHOHIN.DAT", 2);
    set->MstDat[1] = master("TOKUI.DAT", 1);
    set->MstDat[2] = master("TANTO.DAT", 3);
    set->MstNum = 3;
    TGyData &a = set->GyData[0];
    a.GrCount = 1;
    InitKoData(a.GrKoDa[0], QStringLiteral("得意先"), u'A');
    refer(a.GrKoDa[0], 2);
    a.DaCount = 2;
    InitKoData(a.DaKoDa[1], QStringLiteral("担当"), u'A');
    refer(a.DaKoDa[0], 3);
    refer(a.DaKoDa[1], 2);
    TAddGyDat add = set->AddGyDat;
    add.GyMode = GyModeIndex(u'B');
    InitGyData(set->GyData[1], add);
    refer(set->GyData[1].DaKoDa[0], 3);
    set->GyCount = 2;
    return set;
}

QList<QByteArray> savedLines(TSetData &set)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SaveBnf(buffer, set, BasePageValues(), [](const QString &) { return false; }), BnfResult::Ok);
    QList<QByteArray> lines = buffer.data().split('\n');
    lines.removeLast();
    return lines;
}

} // namespace

TEST(MasterDefinitions, UseCountsAreDerivedFromTheItems)
{
    auto set = setWithMasters();
    EXPECT_EQ(MasterUseCount(*set, 1), 0);
    EXPECT_EQ(MasterUseCount(*set, 2), 2);
    EXPECT_EQ(MasterUseCount(*set, 3), 2);
    EXPECT_EQ(MasterUseCount(*set, 2, ItemRef{0, true, 0}), 1) << "the item being edited is left out";
    EXPECT_EQ(MasterUseCount(*set, 2, ItemRef{0, false, 0}), 2) << "another item is no exception";

    // Items a job does not hold, jobs that have no items and jobs beyond the set do not count.
    refer(set->GyData[0].DaKoDa[5], 1);
    refer(set->GyData[5].DaKoDa[0], 1);
    set->GyData[1].GyMode = GyModeIndex(u'S');
    EXPECT_EQ(MasterUseCount(*set, 1), 0);
    EXPECT_EQ(MasterUseCount(*set, 3), 1);

    // A number beyond the held masters is counted nowhere.
    refer(set->GyData[0].DaKoDa[1], 7);
    CountMasterUses(*set);
    EXPECT_EQ(set->MstDat[0].UseCount, 0);
    EXPECT_EQ(set->MstDat[1].UseCount, 1);
    EXPECT_EQ(set->MstDat[2].UseCount, 1);
    for (int i = 3; i < MaxMstCount; ++i)
        EXPECT_EQ(set->MstDat[i].UseCount, 0) << i;
}

TEST(MasterDefinitions, AddOverwriteAndTheTwentiethMaster)
{
    auto set = newSet();
    MasterCopy copy(*set);
    MasterFields fields;
    fields.MFName = QStringLiteral("SHOHIN.DAT");
    fields.KeySize = 13;
    fields.QDefNCB = 2; // three reference fields
    fields.QDSize = {20, 8, 5, 77, 77};
    ASSERT_EQ(copy.add(fields), 0);
    const TMstDat &added = copy.MstDat0()[0];
    EXPECT_EQ(added.QDNum, 4);
    EXPECT_EQ(RefFieldCount(added), 3);
    EXPECT_EQ(added.QDSize, (std::array<int, 5>{20, 8, 5, 10, 10})) << "rows not shown keep the defaults";
    EXPECT_EQ(added.UseCount, 0);
    EXPECT_EQ(copy.find(QStringLiteral("SHOHIN.DAT")), 0);
    EXPECT_EQ(copy.find(QStringLiteral("shohin.dat")), -1) << "names compare exactly";

    fields.KeySize = 8;
    fields.QDefNCB = 0;
    copy.store(0, fields);
    EXPECT_EQ(copy.MstDat0()[0].QDNum, 2);
    EXPECT_EQ(copy.MstDat0()[0].KeySize, 8);
    EXPECT_EQ(copy.MstDat0()[0].MFName.toStdString(), "SHOHIN.DAT");

    for (int i = 1; i < MaxMstCount; ++i) {
        fields.MFName = QStringLiteral("M%1.DAT").arg(i);
        EXPECT_EQ(copy.add(fields), i);
    }
    fields.MFName = QStringLiteral("M21.DAT");
    EXPECT_EQ(copy.add(fields), -1);
    EXPECT_EQ(copy.MstNum0(), MaxMstCount);
    EXPECT_EQ(set->MstNum, 0) << "the set changes only when the copy is applied";
    copy.applyTo(*set);
    EXPECT_EQ(set->MstNum, MaxMstCount);
    EXPECT_EQ(set->MstDat[19].MFName.toStdString(), "M19.DAT");
}

// Master 2 of 3 is deleted while items of two jobs refer to masters 2 and 3.
TEST(MasterDefinitions, DeletingAMasterMovesTheLaterReferencesAlong)
{
    auto set = setWithMasters();
    const ItemRef edited{0, false, 1}; // the data item on master 2 is being edited
    MasterCopy copy(*set);
    EXPECT_EQ(copy.useCount(*set, 1, edited), 1) << "the group item still uses master 2";
    EXPECT_EQ(copy.useCount(*set, 1, ItemRef{}), 2);
    ASSERT_TRUE(copy.remove(1));
    EXPECT_EQ(copy.MstNum0(), 2);
    EXPECT_EQ(copy.MstDat0()[1].MFName.toStdString(), "TANTO.DAT");
    EXPECT_EQ(copy.renumbered(2), 0);
    EXPECT_EQ(copy.renumbered(3), 2);
    EXPECT_EQ(copy.renumbered(1), 1);
    EXPECT_EQ(copy.useCount(*set, 1, edited), 2) << "the items of master 3 use its successor place";
    EXPECT_EQ(FollowSelection(1, 1), -1);
    EXPECT_EQ(FollowSelection(2, 1), 1);
    EXPECT_EQ(FollowSelection(0, 1), 0);
    EXPECT_EQ(set->GyData[0].DaKoDa[0].KMFNo, 3) << "nothing moves before the copy is applied";

    copy.applyTo(*set);
    EXPECT_EQ(set->MstNum, 2);
    EXPECT_EQ(set->GyData[0].GrKoDa[0].KMFNo, 0);
    EXPECT_EQ(set->GyData[0].DaKoDa[1].KMFNo, 0);
    EXPECT_EQ(set->GyData[0].DaKoDa[0].KMFNo, 2);
    EXPECT_EQ(set->GyData[1].DaKoDa[0].KMFNo, 2);
    EXPECT_EQ(set->MstDat[1].UseCount, 2);
    EXPECT_EQ(set->MstDat[0].UseCount, 0);

    // The items that lost their master are reported by validation.
    BnfShownControls shown;
    shown.APOffTimeNE = shown.Bar2ReadNE = shown.DspErrTimeNE = QStringLiteral("1");
    shown.BzHzNE = shown.BzCountNE = shown.BzOnTimeNE = shown.BzOffTimeNE = QStringLiteral("1");
    shown.GNameSE = shown.KNameSE = shown.KDLenNE = shown.KDMaxNE = shown.KDMinNE = QStringLiteral("1");
    const auto fault = CheckBnfDat(*set, shown, [](const QString &) { return false; });
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->message.toStdString(), "マスター参照設定をしてください。");
    EXPECT_EQ(fault->job, 0);
    EXPECT_EQ(fault->group, true);

    // The file's item lines say so: one master line, then job 1's line and its items.
    const QList<QByteArray> lines = savedLines(*set);
    ASSERT_EQ(lines.size(), 1 + 1 + 4 + 3);
    EXPECT_EQ(lines[1].mid(40, 12).toStdString(), "TANTO.DAT   ");
    EXPECT_EQ(lines[3].mid(371, 2).toStdString(), "00") << "its master went";
    EXPECT_EQ(lines[4].mid(371, 2).toStdString(), "02");
    EXPECT_EQ(lines[5].mid(371, 2).toStdString(), "00");
    EXPECT_EQ(lines[7].mid(371, 2).toStdString(), "02");
}

TEST(MasterDefinitions, DefinitionChecksAndFields)
{
    const std::array<QString, 5> sizes{QStringLiteral("20"), QStringLiteral("8"), QString(),
                                       QStringLiteral("x"), QString()};
    const struct {
        const char *name;
        const char *key;
        int shown;
        const char *message; // empty: passes
        const char *control;
    } cases[] = {
        {"", "", 0, "マスターファイル名を入力してください。", "MFNameSE"},
        {"A.DAT", "", 0, "参照キーの桁数を入力してください。", "KeySizeNE"},
        {"A.DAT", "13", 2, "参照データ桁数を入力してください。", "QDSize3NE"},
        {"A.DAT", "13", 1, "", ""},
        {"A.DAT", "13", 9, "参照データ桁数を入力してください。", "QDSize3NE"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const auto fault = CheckMasterFields(QLatin1String(c.name), QLatin1String(c.key), c.shown, sizes);
        EXPECT_EQ(fault.has_value(), *c.message != 0);
        if (fault) {
            EXPECT_EQ(fault->message.toStdString(), c.message);
            EXPECT_EQ(fault->control.toStdString(), c.control);
        }
    }
    const MasterFields f = MasterFieldsFrom(QStringLiteral("A.DAT"), QStringLiteral("k"), 3, sizes);
    EXPECT_EQ(f.KeySize, 1) << "not a number";
    EXPECT_EQ(f.QDSize, (std::array<int, 5>{20, 8, 1, 1, 1}));

    // Shown back: the row count from QDNum, which a file may hold out of range.
    const struct {
        int qdNum;
        int shown;
    } rows[] = {{0, 0}, {1, 0}, {2, 0}, {4, 2}, {6, 4}, {9, 4}};
    for (const auto &r : rows) {
        TMstDat m = master("A.DAT", 0);
        m.QDNum = r.qdNum;
        EXPECT_EQ(MasterFieldsOf(m).QDefNCB, r.shown) << r.qdNum;
        EXPECT_EQ(RefFieldCount(m), std::clamp(r.qdNum, 1, 6) - 1);
    }

    const struct {
        const char *name;
        bool reserved;
    } names[] = {{"A.BNF", true}, {"A.PD4", true}, {"A.FLD", true},   {"A.TMP", true}, {"A.DAT", false},
                 {"ABNF", false}, {"A.BN", false}, {"A.B.EXE", true}, {"A.bnf", false}};
    for (const auto &n : names)
        EXPECT_EQ(ReservedMasterName(QLatin1String(n.name)), n.reserved) << n.name;
}

TEST(MasterDefinitions, ReferenceDialogValuesRoundTrip)
{
    auto set = setWithMasters();
    TKoData &item = set->GyData[0].DaKoDa[1]; // data item 1 of 4 in its list
    item.KMFNo = 3;
    item.KMFKeySet = true;
    item.KMFKeyTop = 4;
    item.KMFKeyLen = 6;
    item.DspQDNo = 2;
    item.SaveQDNum = 2;
    item.QDNo = {3, 1, 0, 0, 0};
    item.SDNo = {2, 3, 0, 0, 0};
    MasterCopy copy(*set);
    MasterRefView v = GetMstDat(item, 1, 4, copy);
    MasterRefView expected;
    expected.SetMKeyCheck = true;
    expected.MKeyTopNE = QStringLiteral("4");
    expected.MKeyLenNE = QStringLiteral("6");
    expected.Sel = 2;
    expected.MstChk = true;
    expected.DspStrChk = true;
    expected.QD00CB = 1;
    expected.QDCountCB = 2;
    expected.QDCB = {2, 0, -1, -1, -1};
    expected.SaveCB = {1, 2, -1, -1, -1};
    EXPECT_EQ(v, expected);
    EXPECT_FALSE(CheckMasterRef(v).has_value());

    TKoData back = item;
    back.QDNo.fill(0);
    back.SDNo.fill(0);
    PutMstDat(v, back, 1);
    EXPECT_EQ(back.KMFNo, 3);
    EXPECT_EQ(back.DspQDNo, 2);
    EXPECT_EQ(back.QDNo, item.QDNo);
    EXPECT_EQ(back.SDNo, item.SDNo);

    // Another master with one reference field: every choice is lowered into it.
    v.Sel = 1;
    FitToMaster(v, copy);
    EXPECT_EQ(v.QD00CB, 0);
    EXPECT_EQ(v.QDCountCB, 1);
    EXPECT_EQ(v.QDCB[0], 0);
    EXPECT_EQ(v.SaveCB[0], 1) << "receiving items do not depend on the master";

    // Stored choices out of range show none, or the last entry.
    item.SaveQDNum = 9;
    item.QDNo = {0, 9, 0, 0, 0};
    item.SDNo = {0, 99, 0, 0, 0};
    item.DspQDNo = 9;
    v = GetMstDat(item, 1, 4, copy);
    EXPECT_EQ(item.SaveQDNum, 3) << "master 3 offers three fields";
    EXPECT_EQ(v.QDCB[0], -1);
    EXPECT_EQ(v.QDCB[1], 2);
    EXPECT_EQ(v.SaveCB[0], -1) << "an item before this one receives nothing";
    EXPECT_EQ(v.SaveCB[1], 2);
    EXPECT_EQ(v.QD00CB, 2);

    // An item without a master, or a set without masters, selects none.
    TKoData fresh;
    InitKoData(fresh, QStringLiteral("新"), u'A');
    fresh.KMstFlag = true;
    v = GetMstDat(fresh, 0, 1, copy);
    EXPECT_EQ(v.Sel, -1);
    EXPECT_EQ(v.QDCountCB, 0);
    EXPECT_EQ(CheckMasterRef(v)->message.toStdString(), "マスターファイルを設定してください。");
}

TEST(MasterDefinitions, ReferenceChecksInOrder)
{
    MasterRefView ok;
    ok.Sel = 0;
    ok.QDCountCB = 2;
    ok.QDCB = {0, 1, -1, -1, -1};
    ok.SaveCB = {0, 0, -1, -1, -1};
    const struct {
        const char *what;
        std::function<void(MasterRefView &)> change;
        const char *message;
        const char *control;
    } cases[] = {
        {"no key start",
         [](MasterRefView &v) {
             v.SetMKeyCheck = true;
             v.MKeyLenNE = QStringLiteral("2");
             v.Sel = -1;
         },
         "部分検索キーを設定してください。", "MKeyTopNE"},
        {"no key length",
         [](MasterRefView &v) {
             v.SetMKeyCheck = true;
             v.MKeyTopNE = QStringLiteral("2");
         },
         "部分検索キーを設定してください。", "MKeyLenNE"},
        {"no master",
         [](MasterRefView &v) {
             v.Sel = -1;
             v.DspStrChk = true;
         },
         "マスターファイルを設定してください。", "MasterCB"},
        {"no display field", [](MasterRefView &v) { v.DspStrChk = true; },
         "表示文字列参照データを設定してください。", "QD00CB"},
        {"no count", [](MasterRefView &v) { v.QDCountCB = -1; }, "データ参照項目数を設定してください。",
         "QDCountCB"},
        {"no field in row 2", [](MasterRefView &v) { v.QDCB[1] = -1; },
         "データ参照の参照データを設定してください。", "QD02CB"},
        {"no receiver in row 1",
         [](MasterRefView &v) {
             v.SaveCB[0] = -1;
             v.QDCB[1] = -1;
         },
         "データ参照の保存項目を設定してください。", "Save01CB"},
    };
    EXPECT_FALSE(CheckMasterRef(ok).has_value());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        MasterRefView v = ok;
        c.change(v);
        const auto fault = CheckMasterRef(v);
        ASSERT_TRUE(fault.has_value());
        EXPECT_EQ(fault->message.toStdString(), c.message);
        EXPECT_EQ(fault->control.toStdString(), c.control);
    }
    MasterRefView rowsBeyond = ok;
    rowsBeyond.QDCountCB = 1;
    rowsBeyond.QDCB[1] = -1;
    EXPECT_FALSE(CheckMasterRef(rowsBeyond).has_value()) << "rows beyond the count are not looked at";

    const struct {
        const char *text;
        QChar digit;
        bool accepted;
    } starts[] = {{"", u'1', true},    {"350", u'0', true},  {"350", u'1', false}, {"360", u'0', false},
                  {"999", u'9', true}, {"999", u'8', false}, {"9999", u'9', false}};
    for (const auto &s : starts)
        EXPECT_EQ(MKeyTopAccepts(QLatin1String(s.text), s.digit), s.accepted) << s.text;
}

TEST(MasterDefinitions, EntriesHeldOutsideTheSetFollowADeletion)
{
    auto set = setWithMasters();
    MasterCopy copy(*set);
    ASSERT_TRUE(copy.remove(1));
    const struct {
        int before;
        int after;
    } cases[] = {{1, 1}, {2, 0}, {3, 2}, {0, 0}, {7, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.before);
        TKoData item;
        refer(item, c.before);
        copy.follow(item);
        EXPECT_EQ(item.KMFNo, c.after);
        EXPECT_TRUE(item.KMstFlag) << "the reference is lost, the use stays for validation to report";
    }
    // A held job follows in every item slot, beyond its counts too.
    TGyData job = set->GyData[0];
    refer(job.DaKoDa[5], 3);
    copy.follow(job);
    EXPECT_EQ(job.GrKoDa[0].KMFNo, 0);
    EXPECT_EQ(job.DaKoDa[0].KMFNo, 2);
    EXPECT_EQ(job.DaKoDa[5].KMFNo, 2);
}
