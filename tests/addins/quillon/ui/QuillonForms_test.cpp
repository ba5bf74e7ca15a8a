#include "QuillonUiSupport.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/quillon/ui/SetBarCode.h"
#include "addins/quillon/ui/SetBz.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "tests/addins/quillon/QuillonTestSupport.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <functional>

using namespace quillon;
using namespace quillonuitest;
using platform::MsgIcon;
using testsupport::RecordingUi;

namespace {

void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Types text key by key, characters without a key of their own included.
void typeKeys(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// A form loaded from a hand-off with a valid search key and collation data.
void writeValidHandOff(int model)
{
    QuillonSettings s;
    s.KKNameSE = QStringLiteral("品番");
    s.KKBarDat.BarType = QStringLiteral("A");
    s.KKMstFileSE = QStringLiteral("MASTER.DAT");
    s.SKNameSE = QStringLiteral("照合");
    s.SKBarDat.BarType = QStringLiteral("K");
    writeHandOff(model, BuildPara0(s), BuildPara1(s, *LimitsOf(model)));
}

} // namespace

TEST(QuillonMainFormTest, LoadsTheModelsLimitsAndCaption)
{
    writeValidHandOff(900);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    EXPECT_FALSE(form.ChangeFlag);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("照合業務 設定(BHT-900)"));
    EXPECT_EQ(form.KKNameSE->text(), QStringLiteral("品番"));
    EXPECT_EQ(form.KKNameSE->maxBytes(), 21);
    EXPECT_EQ(form.DKMaxNE->MaxDegits(), 2);
    EXPECT_EQ(form.DKMaxNE->MaxValue(), 84);
    EXPECT_EQ(form.pSFTopNE[0]->MaxDegits(), 2);
    EXPECT_EQ(form.PageControl1->currentIndex(), 0);
    QStringList nodes;
    for (int i = 0; i < form.TreeView1->topLevelItemCount(); ++i)
        nodes << form.TreeView1->topLevelItem(i)->text(0);
    EXPECT_EQ(nodes, (QStringList{"データ区分", "照合条件", "データ保存", "", "キャンセル", "", "更新"}));
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST(QuillonMainFormTest, RefusedModelWarnsAndWritesNothing)
{
    writeHandOff(600);
    RecordingUi ui;
    TMainForm form;
    EXPECT_FALSE(form.FormCreate());
    EXPECT_TRUE(form.DataErr);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("BHT-600には対応していません。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("設定エラー"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, MsgIcon::Exclamation);
    const Answer a = readAnswer();
    EXPECT_FALSE(a.result);
    EXPECT_TRUE(a.para0.isEmpty());
}

TEST(QuillonMainFormTest, ConfirmShowsTheFirstFailureThenHandsTheRecordsBack)
{
    writeHandOff(800, {}, {}, 0);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("項目名を入力してください。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    EXPECT_EQ(form.TreeView1->currentItem(), form.TreeView1->topLevelItem(1));
    EXPECT_EQ(form.focusWidget(), form.KKNameSE);
    EXPECT_FALSE(readAnswer().result);

    QTest::keyClicks(form.KKNameSE, QStringLiteral("KEY"));
    EXPECT_TRUE(form.ChangeFlag);
    form.KKBarDat.BarType = QStringLiteral("A");
    form.SKBarDat.BarType = QStringLiteral("K");
    retype(form.KKMstFileSE, QStringLiteral("mst.dat"));
    EXPECT_EQ(form.KKMstFileSE->text(), QStringLiteral("MST.DAT"));
    QTest::keyClicks(form.SKNameSE, QStringLiteral("DATA"));
    form.DSaveChk->click();
    QTest::keyClicks(form.SaveFileSE, QStringLiteral("RES.DAT"));
    form.Confirm();
    EXPECT_EQ(ui.messageBoxCount(), 1);
    EXPECT_FALSE(form.isVisible());

    const Answer a = readAnswer();
    EXPECT_TRUE(a.result);
    EXPECT_EQ(a.count, 1);
    QuillonSettings s = form.settings();
    EXPECT_EQ(a.para0, BuildPara0(s));
    EXPECT_EQ(a.para1, BuildPara1(s, *LimitsOf(800)));
    EXPECT_EQ(a.para0.mid(188, 22), QByteArray("KEY").leftJustified(22, ' '));
    EXPECT_EQ(a.para1.mid(150, 21), QByteArray("02O*00010020*00010020"));
}

TEST(QuillonMainFormTest, DataTypeAndDisplayRules)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.DKubunChk->click();
    EXPECT_TRUE(form.DKubunGB->isVisible());
    form.DKBarChk->click();
    EXPECT_TRUE(form.DKBarBtn->isEnabled());

    choose(form.DKTypeCB, 3); // 日付(YYYY/MM/DD)
    EXPECT_FALSE(form.DKMaxNE->isEnabled());
    EXPECT_EQ(form.DKMaxNE->text(), QStringLiteral("10"));
    EXPECT_EQ(form.DKMinNE->text(), QStringLiteral("10"));
    EXPECT_FALSE(form.DKBarChk->isVisible());
    EXPECT_FALSE(form.DKMstUseChk->isVisible());
    choose(form.DKTypeCB, 0);
    EXPECT_TRUE(form.DKMaxNE->isEnabled());
    EXPECT_TRUE(form.DKBarBtn->isVisible());

    retype(form.DKMaxNE, QStringLiteral("150"));
    choose(form.DKFontCB, 1); // 横倍
    EXPECT_EQ(form.DKMaxNE->text(), QStringLiteral("90"));
    EXPECT_EQ(form.DKMaxNE->MaxValue(), 90);

    // The minimum raises the maximum, on the data kind and the search key alike.
    retype(form.DKMaxNE, QStringLiteral("20"));
    retype(form.DKMinNE, QStringLiteral("30"));
    EXPECT_EQ(form.DKMaxNE->text(), QStringLiteral("30"));
    retype(form.KKMinNE, QStringLiteral("30"));
    EXPECT_EQ(form.KKMaxNE->text(), QStringLiteral("30"));
    // Without a maximum nothing is raised.
    retype(form.KKMaxNE, QString());
    retype(form.KKMinNE, QStringLiteral("40"));
    EXPECT_EQ(form.KKMaxNE->text(), QString());
    // A digit that would take the minimum beyond the display limit is dropped.
    retype(form.DKMinNE, QStringLiteral("95"));
    EXPECT_EQ(form.DKMinNE->text(), QStringLiteral("9"));
}

TEST(QuillonMainFormTest, ReturnMovesAlongThePage)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.showPage(1);
    struct Case {
        QWidget *from;
        QWidget *to;
    };
    for (const Case &c : {Case{form.KKNameSE, form.KKMaxNE}, Case{form.KKMaxNE, form.KKMinNE},
                          Case{form.KKMinNE, form.KKBarBtn}, Case{form.CmpModeCB, form.SKBarBtn},
                          Case{form.OkDspTimeNE, form.NgDspTimeNE}, Case{form.NgDspTimeNE, form.OkBzBtn}}) {
        SCOPED_TRACE(c.from->objectName().toStdString());
        c.from->setFocus();
        QTest::keyClick(c.from, Qt::Key_Return);
        EXPECT_EQ(form.focusWidget(), c.to);
    }
    // An empty name keeps the focus.
    form.SKNameSE->clear();
    form.SKNameSE->setFocus();
    QTest::keyClick(form.SKNameSE, Qt::Key_Return);
    EXPECT_EQ(form.focusWidget(), form.SKNameSE);
}

TEST(QuillonMainFormTest, SavePageRowsAndPreview)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.DSaveChk->click();
    form.showPage(2);
    form.TreeView1->setCurrentItem(form.TreeView1->topLevelItem(2));
    EXPECT_EQ(form.pSField[0]->count(), 17);
    EXPECT_TRUE(form.pSField[1]->isVisible());
    EXPECT_FALSE(form.pSField[2]->isVisible());

    choose(form.pSField[0], 13); // "<" 日付(YYYY/MM/DD) without the data kind
    EXPECT_EQ(form.SaveDat[0], (TSaveDat{'<', 1, 10}));
    EXPECT_FALSE(form.pPanel[0]->isVisible());
    EXPECT_EQ(form.ListView1->horizontalHeaderItem(0)->text(), QStringLiteral("日付(YYY/MM/DD)"));
    EXPECT_EQ(form.ListView1->columnWidth(0), 110);
    EXPECT_EQ(form.ListView1->item(0, 0)->text(), QStringLiteral("  10"));

    choose(form.pSField[1], 0); // HtNo: only the length is edited
    retype(form.pSFLenNE[1], QStringLiteral("8"));
    EXPECT_TRUE(form.pSFLenNE[1]->isVisible());
    EXPECT_FALSE(form.pSFTopNE[1]->isVisible());

    choose(form.SaveFieldsCB, 2);
    choose(form.pSField[2], 1); // 検索ｷｰ入力ﾊﾞｰｺｰﾄﾞ
    retype(form.pSFTopNE[2], QStringLiteral("3400"));
    retype(form.pSFLenNE[2], QStringLiteral("200"));
    EXPECT_EQ(form.pSFLenNE[2]->text(), QStringLiteral("101"));
    retype(form.pSFLenNE[2], QString());
    EXPECT_EQ(form.SaveDat[2].len, 0);

    QTest::keyClicks(form.SaveFileSE, QStringLiteral("RES.DAT"));
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("フィールド情報を入力してください。"));
    EXPECT_EQ(form.focusWidget(), form.pSFLenNE[2]);

    // Fewer fields hide the rows and the preview's captions; the entries stay for later.
    choose(form.SaveFieldsCB, 0);
    EXPECT_FALSE(form.pSField[1]->isVisible());
    EXPECT_EQ(form.ListView1->horizontalHeaderItem(1)->text(), QString());
    EXPECT_EQ(form.SaveDat[1].code, '#');
}

// A date or time kind hides the barcode and master boxes but keeps their ticks, and a ticked box is
// written; an empty section behind it is refused on the data kind page with the data type focused,
// the control that brings the box back.
TEST(QuillonMainFormTest, AHiddenTickedSectionOfADateKindIsCheckedAndItsDataTypeFocused)
{
    struct Box {
        const char *name;
        std::function<void(QuillonSettings &)> tick; // ticks the box over an empty section
        const char *message;
        std::function<QWidget *(TMainForm &)> partControl;
        std::function<QCheckBox *(TMainForm &)> box;
    };
    const Box boxes[] = {
        {"barcode", [](QuillonSettings &s) { s.DKBarChk = true; }, "読取バーコードを設定してください。",
         [](TMainForm &f) -> QWidget * { return f.DKBarBtn; }, [](TMainForm &f) { return f.DKBarChk; }},
        {"master", [](QuillonSettings &s) { s.DKMstUseChk = true; }, "マスターファイル名を入力してください。",
         [](TMainForm &f) -> QWidget * { return f.DKMstFileSE; }, [](TMainForm &f) { return f.DKMstUseChk; }},
    };
    const struct {
        int type;
        const char *digits;
    } kinds[] = {{3, "10"}, {4, "8"}, {5, "5"}, {6, "5"}};
    for (const auto &kind : kinds) {
        for (const Box &box : boxes) {
            SCOPED_TRACE(testing::Message() << "type " << kind.type << ", " << box.name);
            QuillonSettings s = quillontest::validSettings();
            s.DKubunChk = true;
            s.DKNameSE = QStringLiteral("区分");
            s.DKTypeCB = kind.type;
            s.DKMaxNE = s.DKMinNE = QString::fromLatin1(kind.digits);
            box.tick(s);
            writeHandOff(800, BuildPara0(s), BuildPara1(s, *LimitsOf(800)));
            RecordingUi ui;
            TMainForm form;
            ASSERT_TRUE(form.FormCreate());
            form.show();
            form.showPage(2);
            form.Confirm();
            ASSERT_EQ(ui.messageBoxCount(), 1);
            EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf8(box.message));
            EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
            EXPECT_EQ(form.PageControl1->currentIndex(), 0);
            EXPECT_EQ(form.TreeView1->currentItem(), form.TreeView1->topLevelItem(0));
            EXPECT_FALSE(box.partControl(form)->isVisible());
            EXPECT_EQ(form.focusWidget(), form.DKTypeCB);
            EXPECT_FALSE(readAnswer().result);

            // The type the drop-down offers first shows the ticked box again.
            choose(form.DKTypeCB, 0);
            EXPECT_TRUE(box.box(form)->isVisible());
            EXPECT_TRUE(box.box(form)->isChecked());
            form.ChangeFlag = false;
        }
    }
}

TEST(QuillonMainFormTest, CancelAfterAChangeAsks)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.SKMstUseChk->click();
    EXPECT_TRUE(form.ChangeFlag);
    const auto cancelNode = [&form] {
        QTreeWidgetItem *node = form.TreeView1->topLevelItem(form.cancelNode());
        form.TreeView1->setCurrentItem(node);
        emit form.TreeView1->itemClicked(node, 0);
    };
    ui.queueAnswer(platform::MsgResult::No);
    cancelNode();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("設定したデータを破棄してもいいですか？"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("アドイン照合設定"));
    ui.queueAnswer(platform::MsgResult::Yes);
    cancelNode();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(readAnswer().result);
}

TEST(QuillonBarCodeFormTest, EditsTheChosenRecordOnConfirm)
{
    writeValidHandOff(900);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.KKBarDat.BarType = QStringLiteral("AQ"); // "Q" is not read on model 900
    QString caption;
    ui.queueForm([&](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        caption = dialog.windowTitle();
        EXPECT_FALSE(dialog.EndBtn->isEnabled());
        EXPECT_FALSE(child<QCheckBox>(dialog, "QrChk")->isVisibleTo(&dialog));
        EXPECT_FALSE(child<QCheckBox>(dialog, "BookChk")->isVisibleTo(&dialog));
        child<QCheckBox>(dialog, "ItfChk")->click();
        EXPECT_TRUE(child<QWidget>(dialog, "ItfCD")->isEnabled());
        child<QCheckBox>(dialog, "UserBarChk")->click();
        EXPECT_FALSE(child<QWidget>(dialog, "ItfCD")->isEnabled());
        EXPECT_FALSE(child<QCheckBox>(dialog, "JanChk")->isEnabled());
        child<QCheckBox>(dialog, "UserBarChk")->click();
        EXPECT_TRUE(child<QWidget>(dialog, "ItfCD")->isEnabled());
        choose(dialog.DFormatCB, 1);
        EXPECT_FALSE(dialog.DatLenNE->isVisibleTo(&dialog));
        retype(dialog.DatTopNE, QStringLiteral("100"));
        EXPECT_EQ(dialog.DatTopNE->text(), QStringLiteral("10")); // 100 is beyond 99 on this model
        dialog.DatTopNE->clear();
        dialog.EndBtn->click();
        EXPECT_TRUE(dialog.isVisible());
        retype(dialog.DatTopNE, QStringLiteral("3"));
        dialog.DelCharChk->click();
        typeKeys(dialog.DelCharSE, QStringLiteral("-あ/"));
        EXPECT_EQ(dialog.DelCharSE->text(), QStringLiteral("-/"));
        dialog.EndBtn->click();
    });
    form.KKBarBtn->click();
    EXPECT_EQ(caption, QStringLiteral("品番 バーコード読取設定 (BHT-900)"));
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("データNoを入力してください。"));
    EXPECT_EQ(form.KKBarDat.BarType, QStringLiteral("AI"));
    EXPECT_EQ(form.KKBarDat.BFmt, FmtSpace);
    EXPECT_EQ(form.KKBarDat.DTop, 3);
    EXPECT_EQ(form.KKBarDat.DelChar, QStringLiteral("-/"));
    EXPECT_TRUE(form.ChangeFlag);
}

TEST(QuillonBarCodeFormTest, StoredFormatWithoutListItemIsKept)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.SKBarDat.BFmt = FmtLetterA;
    form.SKBarDat.DTop = 2;
    ui.queueForm([&](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        EXPECT_EQ(dialog.DFormatCB->currentIndex(), -1);
        EXPECT_TRUE(dialog.DSelLabel2->isVisibleTo(&dialog)); // laid out as separated
        child<QCheckBox>(dialog, "GTINChk")->click();
        dialog.EndBtn->click();
    });
    form.SKBarBtn->click();
    EXPECT_EQ(form.SKBarDat.BFmt, FmtLetterA);
    EXPECT_TRUE(form.SKBarDat.BGTIN);
    EXPECT_EQ(GetBarDat(form.SKBarDat).at(54), 'A');
}

TEST(QuillonBzFormTest, EditsTheSignalOnConfirm)
{
    writeValidHandOff(800);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.NgBz.BzHz = 30;
    QString caption;
    ui.queueForm([&](QDialog &d) {
        auto &dialog = static_cast<TSetBzForm &>(d);
        caption = dialog.windowTitle();
        EXPECT_EQ(dialog.BzHzNE->text(), QStringLiteral("62"));
        QTest::keyClicks(dialog.WavFileSE, QStringLiteral("beep.txt"));
        EXPECT_EQ(dialog.WavFileSE->text(), QStringLiteral("BEEP.TX"));
        retype(dialog.WavFileSE, QStringLiteral("beep.wav"));
        retype(dialog.BzOnTimeNE, QStringLiteral("0"));
        dialog.EndBtn->click();
        EXPECT_TRUE(dialog.isVisible());
        retype(dialog.BzOnTimeNE, QStringLiteral("4"));
        retype(dialog.BzHzNE, QStringLiteral("40"));
        choose(dialog.BpVibCB, 2);
        dialog.EndBtn->click();
    });
    form.NgBzBtn->click();
    EXPECT_EQ(caption, QStringLiteral("NGブザー設定"));
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("鳴動時間を再入力してください。"));
    EXPECT_GE(ui.beepCount(), 1);
    EXPECT_EQ(form.NgBz, (TBzDat{QStringLiteral("BEEP.WAV"), 62, 3, 4, 1, 2}));
    EXPECT_TRUE(form.ChangeFlag);
}

TEST(QuillonBzFormTest, Model900HasNoWavFile)
{
    writeValidHandOff(900);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.OkBz.WavFile = QStringLiteral("OLD.WAV");
    ui.queueForm([&](QDialog &d) {
        auto &dialog = static_cast<TSetBzForm &>(d);
        EXPECT_FALSE(dialog.WavPanel->isEnabled());
        EXPECT_EQ(dialog.WavFileSE->text(), QString());
        retype(dialog.BzCountNE, QStringLiteral("2"));
        dialog.EndBtn->click();
    });
    form.OkBzBtn->click();
    EXPECT_EQ(form.OkBz.WavFile, QString());
    EXPECT_EQ(form.OkBz.Count, 2);
}

// Entering a minimum digit edit or a save-row edit leaves its text unselected with the caret at
// the end, so a typed digit adds to the value; the maximum edits still select what they hold.
TEST(QuillonMainFormTest, EnteringTheMinimumAndSaveRowEditsPutsTheCaretAtTheEnd)
{
    QuillonSettings s;
    s.DKubunChk = true;
    s.DKNameSE = QStringLiteral("区分");
    s.DKMaxNE = QStringLiteral("20");
    s.DKMinNE = QStringLiteral("12");
    s.KKNameSE = QStringLiteral("品番");
    s.KKMaxNE = QStringLiteral("20");
    s.KKMinNE = QStringLiteral("13");
    s.KKBarDat.BarType = QStringLiteral("A");
    s.KKMstFileSE = QStringLiteral("MASTER.DAT");
    s.SKNameSE = QStringLiteral("照合");
    s.SKBarDat.BarType = QStringLiteral("K");
    s.DSaveChk = true;
    s.SaveFileSE = QStringLiteral("RES.DAT");
    s.SaveFieldsCB = 1;
    s.SaveDat[0] = {'*', 2, 13};
    s.SaveDat[1] = {'*', 3, 11};
    s.showSaveDat();
    writeHandOff(800, BuildPara0(s), BuildPara1(s, *LimitsOf(800)));
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    struct Case {
        int page;
        TNEdit *edit;
        bool selects;
    };
    const Case cases[] = {
        {0, form.DKMinNE, false},     {1, form.KKMinNE, false},     {2, form.pSFTopNE[0], false},
        {2, form.pSFLenNE[0], false}, {2, form.pSFTopNE[1], false}, {2, form.pSFLenNE[1], false},
        {0, form.DKMaxNE, true},      {1, form.KKMaxNE, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        form.showPage(c.page);
        ASSERT_TRUE(c.edit->isVisible());
        const QString before = c.edit->text();
        ASSERT_FALSE(before.isEmpty());
        // The caret left at the start must not stay there.
        c.edit->setCursorPosition(0);
        form.TreeView1->setFocus(Qt::OtherFocusReason);
        c.edit->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(form.focusWidget(), c.edit);
        EXPECT_EQ(c.edit->hasSelectedText(), c.selects);
        if (!c.selects) {
            EXPECT_EQ(c.edit->cursorPosition(), before.size());
            c.edit->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(c.edit, Qt::Key_Backspace);
            EXPECT_EQ(c.edit->text(), before.left(before.size() - 1));
        }
    }
    form.ChangeFlag = false;
}

// Loading a job and confirming it untouched hands back the bytes it came with, on every model,
// whether or not the pages were visited; a date kind's hidden barcode and master sections too.
TEST(QuillonMainFormTest, ConfirmWithoutEditsHandsBackTheSameStrings)
{
    const auto full = [] {
        QuillonSettings s = quillontest::validSettings();
        s.DKubunChk = true;
        s.DKNameSE = QStringLiteral("区分");
        s.DKMaxNE = QStringLiteral("12");
        s.DKMinNE = QStringLiteral("3");
        s.DKBarChk = true;
        s.DKBarDat = quillontest::validBar();
        s.DKBarDat.BarUser = QStringLiteral("*12AB");
        s.DKMstUseChk = true;
        s.DKMstFileSE = QStringLiteral("KUBUN.DAT");
        s.DKMstErrChk = false;
        s.KKMaxNE = QStringLiteral("15");
        s.KKMinNE = QStringLiteral("2");
        s.CmpModeCB = 1;
        s.SKMstUseChk = true;
        s.SKMstFileSE = QStringLiteral("SHOGO.DAT");
        s.OkDspTimeNE = QStringLiteral("12");
        s.DSaveChk = true;
        s.SaveFileSE = QStringLiteral("RES.DAT");
        s.SaveTypeCB = 2;
        s.SaveFieldsCB = 3;
        s.SaveDat[0] = {'#', 1, 8};
        s.SaveDat[1] = {'%', 1, 12};
        s.SaveDat[2] = {'*', 2, 11};
        s.SaveDat[3] = {'<', 1, 10};
        s.showSaveDat();
        return s;
    };
    const auto dateKind = [&] {
        QuillonSettings s = full();
        s.DKTypeCB = 3; // 日付(YYYY/MM/DD): its barcode and master boxes are hidden
        s.DKMaxNE = s.DKMinNE = QStringLiteral("10");
        return s;
    };
    struct Variant {
        const char *name;
        std::function<QuillonSettings()> settings;
    };
    const Variant variants[] = {{"full", full}, {"date kind", dateKind}};
    for (int model : {800, 900, 1300}) {
        for (const Variant &v : variants) {
            for (bool visit : {false, true}) {
                SCOPED_TRACE(testing::Message() << model << " " << v.name << (visit ? " visited" : ""));
                QuillonSettings s = v.settings();
                const QByteArray para0 = BuildPara0(s), para1 = BuildPara1(s, *LimitsOf(model));
                writeHandOff(model, para0, para1);
                RecordingUi ui;
                TMainForm form;
                ASSERT_TRUE(form.FormCreate());
                form.show();
                if (visit) {
                    for (int page = 0; page < 3; ++page) {
                        QTreeWidgetItem *node = form.TreeView1->topLevelItem(page);
                        form.TreeView1->setCurrentItem(node);
                        emit form.TreeView1->itemClicked(node, 0);
                    }
                }
                EXPECT_FALSE(form.ChangeFlag);
                form.Confirm();
                ASSERT_EQ(ui.messageBoxCount(), 0) << ui.messageBoxes()[0].text.toStdString();
                const Answer a = readAnswer();
                EXPECT_TRUE(a.result);
                EXPECT_EQ(a.para0, para0);
                EXPECT_EQ(a.para1, para1);
            }
        }
    }
}
