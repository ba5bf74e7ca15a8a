#include "addins/frame/HandOffClient.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/ui/Main.h"
#include "addins/marrent/ui/SetBarCode.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace marrent;

namespace {

void prepare(int bht, std::optional<ParaStrings> paras, const QString &gyName = QStringLiteral("入荷検品"))
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), gyName));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), bht));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), paras ? 1 : 0));
    if (paras) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(paras->Para0)));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(paras->Para1)));
    }
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
    reg.CloseKey();
}

ParaStrings answer()
{
    platform::TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(addins::HandOffKey, false));
    ParaStrings p;
    EXPECT_EQ(reg.ReadBool(QStringLiteral("Result")), true);
    p.Para0 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para0")).value_or(QString()));
    p.Para1 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para1")).value_or(QString()));
    reg.CloseKey();
    return p;
}

bool resultWritten()
{
    platform::TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(addins::HandOffKey, false));
    const bool result = reg.ReadBool(QStringLiteral("Result")).value_or(false);
    reg.CloseKey();
    return result;
}

TBarDat jan()
{
    TBarDat bar = InitBarDat();
    bar.BarType = QStringLiteral("A");
    bar.BMax = bar.BMin = 13;
    bar.DTop = 1;
    bar.DLen = 13;
    return bar;
}

// Settings that pass every check, with every page in use.
MarrentSettings full(int bht)
{
    MarrentSettings s = DefaultSettings(*LimitsOf(bht));
    s.DKUsed = true;
    s.DKName = QStringLiteral("区分");
    s.DKMax = 4;
    s.DKMin = 2;
    s.DKBarUsed = true;
    s.DKBarDat = jan();
    s.DKBarDat.BSpCode = 44;
    s.DpUsed = true;
    s.DpName = QStringLiteral("伝票");
    s.PKMstFile = QStringLiteral("PICK.DAT");
    s.SCBarDat = jan();
    s.SCBarDat.BSpCode = 44;
    s.InpCount = true;
    s.InpCountDigits = 4;
    s.SendUsed = true;
    s.SendFile = QStringLiteral("RESULT.DAT");
    s.SendFType = 1;
    s.SendFieldsIndex = 2;
    s.SendDat[0] = {'D', 4};
    s.SendDat[1] = {'C', 13};
    s.SendDat[2] = {'K', 6};
    return s;
}

template <typename T> T *child(QObject &form, const char *name)
{
    T *widget = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void clickNode(QTreeWidget *tree, int node)
{
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(node)).center());
}

} // namespace

TEST(MarrentFormTest, ConfirmWithoutEditsHandsBackTheSameStrings)
{
    for (int bht : {500, 800}) {
        SCOPED_TRACE(bht);
        const ParaStrings stored = EncodeParas(full(bht), *LimitsOf(bht));
        prepare(bht, stored);
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        EXPECT_EQ(form.windowTitle(), QStringLiteral("入荷検品 設定 (BHT-%1)").arg(bht));
        EXPECT_FALSE(form.ChangeFlag);
        form.show();
        for (int page = 0; page < 6; ++page)
            clickNode(form.TreeView1, page);
        EXPECT_FALSE(form.ChangeFlag);
        clickNode(form.TreeView1, form.confirmNode());
        EXPECT_EQ(ui.messageBoxCount(), 0);
        const ParaStrings written = answer();
        EXPECT_EQ(written.Para0, stored.Para0);
        EXPECT_EQ(written.Para1, stored.Para1);
    }
}

TEST(MarrentFormTest, ConfirmShowsTheFirstFailureOnItsPage)
{
    prepare(800, std::nullopt);
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("マスターファイル名を入力してください。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(form.PageControl1->currentIndex(), 3);
    EXPECT_FALSE(resultWritten());

    // With a master file the never-set product code barcode fails next, on the screen page.
    QTest::keyClicks(form.PKMstFileNameSE, QStringLiteral("pick.dat"));
    EXPECT_EQ(form.PKMstFileNameSE->text(), QStringLiteral("PICK.DAT"));
    EXPECT_TRUE(form.ChangeFlag);
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[1].text, QStringLiteral("読取バーコードを設定してください。"));
    EXPECT_EQ(form.PageControl1->currentIndex(), 4);
    EXPECT_EQ(form.focusWidget(), form.SCBarBtn);
    EXPECT_FALSE(resultWritten());
}

// A failed check shows its page as the settings now stand, even a page never visited or one
// last drawn before another page changed what it shows.
TEST(MarrentFormTest, FailedCheckShowsItsPageUpToDate)
{
    {
        SCOPED_TRACE("master page after the voucher kind is dropped");
        MarrentSettings s = full(800);
        s.PKMstFile.clear();
        prepare(800, EncodeParas(s, *LimitsOf(800)));
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        form.show();
        clickNode(form.TreeView1, 3);
        EXPECT_TRUE(form.DpLenPanel->isVisible());
        clickNode(form.TreeView1, 2);
        form.DpKubunChk->click();
        ASSERT_FALSE(form.DpKubunChk->isChecked());
        form.Confirm();
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("マスターファイル名を入力してください。"));
        EXPECT_EQ(form.PageControl1->currentIndex(), 3);
        EXPECT_FALSE(form.DpLenPanel->isVisible());
        EXPECT_EQ(form.focusWidget(), form.PKMstFileNameSE);
        form.ChangeFlag = false;
    }
    {
        SCOPED_TRACE("screen page never visited");
        MarrentSettings s = full(800);
        s.SCBarDat = InitBarDat();
        prepare(800, EncodeParas(s, *LimitsOf(800)));
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        form.show();
        form.Confirm();
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("読取バーコードを設定してください。"));
        EXPECT_EQ(form.PageControl1->currentIndex(), 4);
        const auto *title = form.findChild<QLabel *>(QStringLiteral("B600TitleLabel"));
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(title->isVisible());
        EXPECT_EQ(title->text(), QStringLiteral("入荷検品"));
        EXPECT_EQ(form.focusWidget(), form.SCBarBtn);
    }
}

// A date or time type hides the barcode and master boxes but keeps their ticks, and a ticked box is
// written; an empty section behind it is refused on the data kind page with the data type focused,
// the control that brings the box back.
TEST(MarrentFormTest, AHiddenTickedSectionOfADateTypeIsCheckedAndItsDataTypeFocused)
{
    struct Box {
        const char *name;
        std::function<void(MarrentSettings &)> leaveEmpty;
        const char *message;
        const char *partControl;
        const char *box;
    };
    const Box boxes[] = {
        {"barcode", [](MarrentSettings &s) { s.DKBarDat = InitBarDat(); },
         "読取バーコードを設定してください。", "DKBarBtn", "DKBarChk"},
        {"master file",
         [](MarrentSettings &s) {
             s.DKMstUsed = true;
             s.DKMstField = QStringLiteral("1,5");
         },
         "データ区分マスターファイル名を入力してください。", "DKMstFileSE", "DKMstChk"},
        {"master fields",
         [](MarrentSettings &s) {
             s.DKMstUsed = true;
             s.DKMstFile = QStringLiteral("KUBUN.DAT");
         },
         "データ区分フィールド情報を入力してください。", "DKMstFieldSE", "DKMstChk"},
    };
    for (int type = 3; type <= 10; ++type) {
        for (const Box &box : boxes) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << box.name);
            MarrentSettings s = full(800);
            s.DKType = type;
            box.leaveEmpty(s);
            prepare(800, EncodeParas(s, *LimitsOf(800)));
            testsupport::RecordingUi ui;
            TMainForm form;
            ASSERT_TRUE(form.FormCreate());
            form.show();
            clickNode(form.TreeView1, 5);
            form.Confirm();
            ASSERT_EQ(ui.messageBoxCount(), 1);
            EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf8(box.message));
            EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
            EXPECT_EQ(form.PageControl1->currentIndex(), 1);
            EXPECT_EQ(form.TreeView1->currentItem(), form.TreeView1->topLevelItem(1));
            EXPECT_FALSE(child<QWidget>(form, box.partControl)->isVisible());
            EXPECT_EQ(form.focusWidget(), form.DKTypeCB);
            EXPECT_FALSE(resultWritten());

            // The type the drop-down offers first shows the ticked box again.
            form.DKTypeCB->setCurrentIndex(0);
            emit form.DKTypeCB->activated(0);
            EXPECT_TRUE(child<QCheckBox>(form, box.box)->isVisible());
            EXPECT_TRUE(child<QCheckBox>(form, box.box)->isChecked());
            form.ChangeFlag = false;
        }
    }
}

// The tree names the master and screen pages after the mode; a job without settings keeps the
// first screen caption until a mode is chosen.
TEST(MarrentFormTest, TreeCaptionsFollowTheStoredMode)
{
    struct Case {
        const char *name;
        std::optional<bool> picking; // none: no stored settings
        const char16_t *master;
        const char16_t *screen;
    };
    const Case cases[] = {
        {"no settings", std::nullopt, u"検品マスター", u"画面設定"},
        {"inspection", false, u"検品マスター", u"検品画面"},
        {"picking", true, u"ピッキングマスター", u"ピッキング画面"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<ParaStrings> stored;
        if (c.picking) {
            MarrentSettings s = full(800);
            s.picking = *c.picking;
            stored = EncodeParas(s, *LimitsOf(800));
        }
        prepare(800, stored);
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        form.show();
        EXPECT_EQ(form.TreeView1->topLevelItem(3)->text(0), QString::fromUtf16(c.master));
        EXPECT_EQ(form.TreeView1->topLevelItem(4)->text(0), QString::fromUtf16(c.screen));
        // Choosing a mode names both pages after it.
        QTest::mouseClick(form.ModePicking, Qt::LeftButton);
        EXPECT_EQ(form.TreeView1->topLevelItem(3)->text(0), QStringLiteral("ピッキングマスター"));
        EXPECT_EQ(form.TreeView1->topLevelItem(4)->text(0), QStringLiteral("ピッキング画面"));
        form.ChangeFlag = false;
    }
}

TEST(MarrentFormTest, UnsupportedModelNeverOpens)
{
    prepare(700, std::nullopt);
    testsupport::RecordingUi ui;
    TMainForm form;
    EXPECT_FALSE(form.FormCreate());
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_FALSE(resultWritten());
}

TEST(MarrentFormTest, ResultPageFollowsTypeAndSources)
{
    MarrentSettings s = full(800);
    s.SendFType = 0;
    s.SendDat[1] = {'X', 8};
    prepare(800, EncodeParas(s, *LimitsOf(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    // The loaded fields show in their lists before the page is visited.
    EXPECT_EQ(form.pSField[1]->currentText(), QStringLiteral("開始時刻A(HH:MM:SS)"));
    EXPECT_EQ(form.pFCount[0]->text(), QStringLiteral("4"));
    // The data kind maximum changes; the D field's length follows on the next visit of the page.
    clickNode(form.TreeView1, 1);
    form.DKMaxNE->selectAll();
    QTest::keyClicks(form.DKMaxNE, QStringLiteral("9"));
    EXPECT_EQ(form.settings().SendDat[0].length, 4);
    clickNode(form.TreeView1, 5);
    EXPECT_EQ(form.settings().SendDat[0], (ResultField{'D', 9}));
    EXPECT_EQ(form.pFCount[0]->text(), QStringLiteral("9"));
    EXPECT_EQ(form.pSField[1]->currentText(), QStringLiteral("開始時刻A(HH:MM:SS)"));
    EXPECT_TRUE(form.pSField[2]->isVisible());
    EXPECT_FALSE(form.pSField[3]->isVisible());

    // "処理明細" has no X: the field takes the first offered code.
    form.SendFTypeCB->setFocus();
    QTest::keyClick(form.SendFTypeCB, Qt::Key_Down);
    EXPECT_EQ(form.SendFTypeCB->currentIndex(), 1);
    EXPECT_EQ(form.settings().SendDat[1], (ResultField{'D', 9}));
    EXPECT_EQ(form.pSField[1]->currentText(), QStringLiteral("区分"));
    // Typed letters never pick an item.
    QTest::keyClicks(form.SendFTypeCB, QStringLiteral("a"));
    EXPECT_EQ(form.SendFTypeCB->currentIndex(), 1);
}

TEST(MarrentFormTest, PreviewFollowsModelAndSettings)
{
    for (int bht : {500, 800, 900}) {
        SCOPED_TRACE(bht);
        MarrentSettings s = full(bht);
        s.DpLen = 6;
        s.PKCountLen = 5;
        prepare(bht, EncodeParas(s, *LimitsOf(bht)));
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        form.resize(980, 520);
        form.show();
        clickNode(form.TreeView1, 4);
        EXPECT_EQ(form.BHT500Panel->isVisible(), bht == 500);
        EXPECT_EQ(form.BHT600Panel->isVisible(), bht == 800);
        EXPECT_EQ(form.BHT900Panel->isVisible(), bht == 900);
        const char *prefix = bht == 500 ? "B500" : bht == 800 ? "B600" : "B900";
        const auto label = [&](const char *line) {
            return form.findChild<QLabel *>(
                QStringLiteral("%1%2Label").arg(QLatin1String(prefix), QLatin1String(line)));
        };
        EXPECT_EQ(label("Title")->text(), QStringLiteral("入荷検品"));
        EXPECT_EQ(label("Count")->text(),
                  bht == 500 ? QStringLiteral("99999 / 99999") : QStringLiteral("99999 / 99999"));
        EXPECT_EQ(label("DpData")->isVisible(), bht != 900);
        // Quantity digits above the count length are lowered to it.
        form.InpCountNE->selectAll();
        QTest::keyClicks(form.InpCountNE, QStringLiteral("6"));
        EXPECT_EQ(form.InpCountNE->text(), QStringLiteral("5"));
        if (bht != 900) {
            EXPECT_TRUE(label("Quantity")->text().endsWith(QStringLiteral("・・・・・")));
        }
        testsupport::shootDialog(form, QStringLiteral("marrent-screen-%1.png").arg(bht));
        form.ChangeFlag = false;
    }
}

TEST(MarrentFormTest, EnterMovesAlongThePageChain)
{
    MarrentSettings s = full(800);
    s.DKMstUsed = true;
    s.DKMstFile = QStringLiteral("KUBUN.DAT");
    s.DKMstField = QStringLiteral("1,2");
    s.DpBarUsed = true;
    s.DpBarDat = jan();
    const ParaStrings stored = EncodeParas(s, *LimitsOf(800));
    const auto empty = [](TMainForm &f, const char *name) {
        auto *edit = f.findChild<QLineEdit *>(QString::fromLatin1(name));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), QString());
    };
    struct Case {
        const char *name;
        int page;
        std::function<void(TMainForm &)> before;
        const char *from;
        const char *to;
    };
    const std::vector<Case> cases = {
        {"item name", 1, nullptr, "DKNameSE", "DKTypeCB"},
        {"empty item name stays", 1, [&](TMainForm &f) { empty(f, "DKNameSE"); }, "DKNameSE", "DKNameSE"},
        {"data type", 1, nullptr, "DKTypeCB", "DKFontCB"},
        {"font", 1, nullptr, "DKFontCB", "DKMaxNE"},
        {"date type fixes the digits", 1,
         [](TMainForm &f) {
             f.DKTypeCB->setCurrentIndex(3);
             emit f.DKTypeCB->activated(3);
             EXPECT_FALSE(f.DKMaxNE->isEnabled());
         },
         "DKFontCB", "DKFontCB"},
        {"maximum", 1, nullptr, "DKMaxNE", "DKMinNE"},
        {"minimum", 1, nullptr, "DKMinNE", "DKBarChk"},
        {"barcode used", 1, nullptr, "DKBarChk", "DKBarBtn"},
        {"barcode not used", 1, [](TMainForm &f) { f.DKBarChk->click(); }, "DKBarChk", "DKMstChk"},
        {"display master used", 1, nullptr, "DKMstChk", "DKMstFileSE"},
        {"display master not used stays", 1, [](TMainForm &f) { f.DKMstChk->click(); }, "DKMstChk",
         "DKMstChk"},
        {"display master file", 1, nullptr, "DKMstFileSE", "DKMstFieldSE"},
        {"voucher barcode used", 2, nullptr, "DpBarChk", "DpBarBtn"},
        {"voucher barcode not used stays", 2, [](TMainForm &f) { f.DpBarChk->click(); }, "DpBarChk",
         "DpBarChk"},
        {"result file", 5, nullptr, "SendFileSE", "SendFieldsCB"},
        {"empty result file stays", 5, [&](TMainForm &f) { empty(f, "SendFileSE"); }, "SendFileSE",
         "SendFileSE"},
        {"field count", 5, nullptr, "SendFieldsCB", "SendFTypeCB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prepare(800, stored);
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        form.show();
        clickNode(form.TreeView1, c.page);
        if (c.before)
            c.before(form);
        QWidget *from = child<QWidget>(form, c.from);
        from->setFocus();
        ASSERT_EQ(form.focusWidget(), from);
        const int fieldsBefore = form.SendFieldsCB->currentIndex();
        const bool barBefore = form.DKBarChk->isChecked();
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_EQ(form.focusWidget() ? form.focusWidget()->objectName() : QString(),
                  QString::fromLatin1(c.to));
        // Enter chooses nothing and ticks nothing on its way.
        EXPECT_EQ(form.SendFieldsCB->currentIndex(), fieldsBefore);
        EXPECT_EQ(form.DKBarChk->isChecked(), barBefore);
        EXPECT_EQ(ui.messageBoxCount(), 0);
        form.ChangeFlag = false;
    }
}

TEST(MarrentFormTest, ScreenshotsOfEveryPage)
{
    prepare(800, EncodeParas(full(800), *LimitsOf(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.resize(980, 520);
    const char *names[] = {"mode", "data-kind", "voucher-kind", "master", "screen", "result"};
    for (int page = 0; page < 6; ++page) {
        form.showPage(page);
        testsupport::shootDialog(form, QStringLiteral("marrent-page-%1.png").arg(QLatin1String(names[page])));
    }
}

TEST(MarrentBarCodeTest, OpensTheRecordAndStoresOnlyOnConfirm)
{
    TBarDat bar = jan();
    bar.BChkMode = 2;
    bar.BChkDNo = 1;
    bar.BChkTop = 3;
    bar.BChkStr = QStringLiteral("49");
    bar.BFmt = 3; // not offered for the data kind: shown and stored as fixed length
    testsupport::RecordingUi ui;
    bool mainChanged = false;
    const ModelLimits limits = *LimitsOf(800);
    {
        TSetBarCodeForm dialog(bar, 'D', QStringLiteral("区分"), limits, mainChanged);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("区分 バーコード読取設定 (BHT-800)"));
        EXPECT_FALSE(dialog.EndBtn->isEnabled());
        EXPECT_EQ(dialog.CmpOkNgCB->currentText(), QStringLiteral("一致したら入力エラー"));
        EXPECT_EQ(dialog.DFormatCB->currentIndex(), 0);
        EXPECT_FALSE(dialog.DFormatCB->isEnabled());
        EXPECT_EQ(dialog.InpDatTopNE->text(), QStringLiteral("1"));
        dialog.show();
        QTest::mouseClick(dialog.GTINChk, Qt::LeftButton);
        EXPECT_TRUE(dialog.EndBtn->isEnabled());
        dialog.CancelBtn->click();
    }
    EXPECT_FALSE(mainChanged);
    EXPECT_FALSE(bar.BGTIN);
    EXPECT_EQ(bar.BFmt, 3);
    {
        TSetBarCodeForm dialog(bar, 'D', QStringLiteral("区分"), limits, mainChanged);
        dialog.show();
        QTest::mouseClick(dialog.GTINChk, Qt::LeftButton);
        dialog.EndBtn->click();
    }
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_TRUE(mainChanged);
    TBarDat expected = jan();
    expected.BChkMode = 2;
    expected.BChkTop = 3;
    expected.BChkStr = QStringLiteral("49");
    expected.BGTIN = true;
    EXPECT_EQ(bar, expected);
}

TEST(MarrentBarCodeTest, ChecksInOrder)
{
    const ModelLimits limits = *LimitsOf(500);
    struct Case {
        const char *name;
        std::function<void(TSetBarCodeForm &)> act;
        const char16_t *message;
        const char *focus;
    };
    const std::vector<Case> cases = {
        {"no symbology",
         [](TSetBarCodeForm &d) {
             QTest::mouseClick(d.Symbologies->box(addins::Symbology::Jan), Qt::LeftButton);
         },
         u"読取バーコードを入力してください。", "BarTypeGroup"},
        {"max below min", [](TSetBarCodeForm &d) { d.BarMaxNE->setText("5"), d.BarMinNE->setText("6"); },
         u"読取最大/最小桁数を再入力してください。", "BarMaxNE"},
        {"separator code empty",
         [](TSetBarCodeForm &d) {
             d.DFormatCB->setCurrentIndex(5);
             emit d.DFormatCB->activated(5);
             EXPECT_TRUE(d.SpCodePanel->isVisible());
             d.BSpCodeNE->clear();
         },
         u"区切りコードを入力してください。", "BSpCodeNE"},
        {"selection start past max", [](TSetBarCodeForm &d) { d.InpDatTopNE->setText("14"); },
         u"読取ﾊﾞｰｺｰﾄﾞの入力ﾃﾞｰﾀ選択を再設定してください。", "InpDatTopNE"},
        {"check data empty", [](TSetBarCodeForm &d) { QTest::mouseClick(d.BarDatChk, Qt::LeftButton); },
         u"データチェックのチェックデータ位置を入力してください。", "ChkTopNE"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBarDat bar = jan();
        bool changed = false;
        testsupport::RecordingUi ui;
        TSetBarCodeForm dialog(bar, 'P', QString(), limits, changed);
        dialog.show();
        QTest::mouseClick(dialog.GTINChk, Qt::LeftButton);
        c.act(dialog);
        dialog.EndBtn->click();
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf16(c.message));
        EXPECT_EQ(dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString(),
                  QString::fromLatin1(c.focus));
        EXPECT_EQ(bar, jan());
        EXPECT_FALSE(changed);
    }
}

// A confirm writes the dialog's boxes back: a stored user-defined text survives a record without
// "u", and on 900 the book code box is hidden while its stored "a" is still written.
TEST(MarrentBarCodeTest, ConfirmKeepsTheUserTextAndTheHiddenBookCode)
{
    struct Case {
        int bht;
        bool bookShown;
    };
    for (const Case &c : {Case{500, true}, Case{800, true}, Case{900, false}}) {
        SCOPED_TRACE(c.bht);
        TBarDat bar = jan();
        bar.BarType = QStringLiteral("Aa");
        bar.BarUser = QStringLiteral("*12AB");
        bool changed = false;
        testsupport::RecordingUi ui;
        TSetBarCodeForm dialog(bar, 'P', QString(), *LimitsOf(c.bht), changed);
        dialog.show();
        EXPECT_EQ(dialog.Symbologies->box(addins::Symbology::Book)->isVisible(), c.bookShown);
        EXPECT_TRUE(dialog.Symbologies->box(addins::Symbology::Jan)->isVisible());
        QTest::mouseClick(dialog.GTINChk, Qt::LeftButton);
        dialog.EndBtn->click();
        EXPECT_EQ(ui.messageBoxCount(), 0);
        EXPECT_TRUE(changed);
        EXPECT_EQ(bar.BarType, QStringLiteral("Aa"));
        EXPECT_EQ(bar.BarUser, QStringLiteral("*12AB"));
        EXPECT_TRUE(bar.BGTIN);
    }
}

TEST(MarrentBarCodeTest, Screenshot)
{
    TBarDat bar = jan();
    bar.BFmt = 5;
    bar.BSpCode = 59;
    bar.BChkMode = 1;
    bar.BChkStr = QStringLiteral("49");
    bool changed = false;
    TSetBarCodeForm dialog(bar, 'P', QString(), *LimitsOf(800), changed);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("商品コード バーコード読取設定 (BHT-800)"));
    EXPECT_TRUE(dialog.DFormatCB->isEnabled());
    testsupport::shootDialog(dialog, QStringLiteral("marrent-barcode.png"));
}
