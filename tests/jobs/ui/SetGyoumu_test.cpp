#include "jobs/ui/SetGyoumu.h"

#include "JobsUiTestSupport.h"
#include "common/RegistryKeys.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/Registry.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include "jobs/LetterCodes.h"
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using platform::MsgResult;

namespace {

QString casePath(const QString &name)
{
    return QDir(testsupport::caseFolder()).filePath(name);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the codec writes for a new set with these base page values (by default the page's defaults).
QByteArray newSetBytes(const BasePageValues &base = BasePageValues())
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SaveBnf(buffer, *set, base, [](const QString &) { return false; }), BnfResult::Ok);
    return buffer.data();
}

std::optional<QString> stored(const QString &name)
{
    platform::TRegistry registry;
    if (!registry.OpenKeyReadOnly(ManagerSettingsKey))
        return std::nullopt;
    return registry.ReadString(name);
}

class SetGyoumuTest : public testing::Test {
protected:
    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);

    void press(QToolButton *button)
    {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        button->click();
    }
    std::vector<testsupport::UiEvent> boxes() const { return ui.messageBoxes(); }
    // A click on the page selector's entry.
    void showPage(int row)
    {
        form->DspList->setCurrentRow(row);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }
    // The base page shown and marked in the selector, with the tool buttons of that page.
    void expectBasePage()
    {
        EXPECT_EQ(form->DspList->currentRow(), 0);
        ASSERT_EQ(form->DspList->selectedItems().size(), 1);
        EXPECT_EQ(form->DspList->selectedItems().front(), form->DspList->item(0));
        EXPECT_EQ(form->PageControl1->currentWidget(), form->SetBase);
        EXPECT_TRUE(form->PageControl1->isVisible());
        EXPECT_FALSE(form->GMenuList->isVisible());
        EXPECT_FALSE(form->GamenPanel->isVisible());
        EXPECT_FALSE(form->GyNewBtn->isEnabled());
        EXPECT_FALSE(form->SDataTBtn->isEnabled());
        EXPECT_TRUE(form->SaveTBtn->isEnabled());
    }
};

TEST_F(SetGyoumuTest, ItOpensClosedWithOnlyNewOpenReceiveAndEnd)
{
    EXPECT_EQ(form->windowTitle().toStdString(), "業務設定");
    EXPECT_FALSE(form->EditFlag);
    form->show();
    EXPECT_FALSE(form->PageControl1->isVisible());
    EXPECT_FALSE(form->DspList->isVisible());
    for (QToolButton *b : {form->NewTBtn, form->OpenTBtn, form->RGDatTBtn, form->EndTBtn})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    for (QToolButton *b : {form->SaveTBtn, form->SDataTBtn, form->SGDatTBtn, form->CloseTBtn, form->GyNewBtn,
                           form->GyDelBtn, form->GrNewBtn, form->GrDelBtn, form->DaNewBtn, form->DaDelBtn})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    const struct {
        QToolButton *button;
        const char *caption;
    } captions[] = {
        {form->NewTBtn, "新規作成"},        {form->OpenTBtn, "開く"},
        {form->SaveTBtn, "保存"},           {form->SDataTBtn, "送信ﾃﾞｰﾀﾚｲｱｳﾄ表示"},
        {form->SGDatTBtn, "業務設定送信"},  {form->RGDatTBtn, "業務設定受信"},
        {form->CloseTBtn, "閉じる"},        {form->EndTBtn, "終了"},
        {form->GyNewBtn, "業務追加"},       {form->GyDelBtn, "業務削除"},
        {form->GrNewBtn, "ｸﾞﾙｰﾌﾟ項目追加"}, {form->GrDelBtn, "ｸﾞﾙｰﾌﾟ項目削除"},
        {form->DaNewBtn, "ﾃﾞｰﾀ項目追加"},   {form->DaDelBtn, "ﾃﾞｰﾀ項目削除"},
    };
    for (const auto &c : captions)
        EXPECT_EQ(c.button->text().toStdString(), c.caption);
}

TEST_F(SetGyoumuTest, NewThenSaveWritesTheNewSetAndRemembersIt)
{
    form->show();
    press(form->NewTBtn);
    EXPECT_TRUE(form->EditFlag);
    EXPECT_EQ(form->windowTitle().toStdString(), "業務設定(新規作成)");
    EXPECT_TRUE(form->PageControl1->isVisible());
    EXPECT_EQ(form->basePageValues().APOffTime.toStdString(), "30");

    ui.queueFileName(casePath("abc"));
    press(form->SaveTBtn);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(readFile(casePath("abc.bnf")), newSetBytes());
    EXPECT_EQ(form->BnfFile, casePath("abc.bnf"));
    EXPECT_EQ(stored("BnfFile"), casePath("abc.bnf"));
    EXPECT_EQ(stored("BnfFolder"), testsupport::caseFolder() + "/");
    EXPECT_EQ(form->windowTitle().toStdString(), "業務設定(abc.bnf)");
    ASSERT_EQ(ui.events().back().kind, testsupport::UiEvent::Kind::SaveDialog);
    EXPECT_EQ(ui.events().back().caption.toStdString(), "業務設定ファイルを保存");

    // The next save proposes the same file; a name in BNF letters of any case stays as it is.
    ui.queueFileName(casePath("ABC.BnF"));
    press(form->SaveTBtn);
    EXPECT_EQ(ui.events().back().text, casePath("abc.bnf"));
    EXPECT_EQ(readFile(casePath("ABC.BnF")), newSetBytes());
    EXPECT_FALSE(QFile::exists(casePath("ABC.bnf")));
}

// A new set is shown on the page the operator had chosen, the first time and over an open set.
TEST_F(SetGyoumuTest, NewLeavesThePageSelectorWhereItIs)
{
    form->show();
    EXPECT_EQ(form->DspList->currentRow(), 0);
    press(form->NewTBtn);
    EXPECT_EQ(form->PageControl1->currentWidget(), form->SetBase);
    const struct {
        int row;
        QWidget *page;
        bool jobMenu;
    } cases[] = {{1, form->SetGyoumu, true}, {0, form->SetBase, false}, {1, form->SetGyoumu, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        form->DspList->setCurrentRow(c.row);
        emit form->DspList->itemClicked(form->DspList->currentItem());
        ui.queueAnswer(MsgResult::Yes);
        press(form->NewTBtn);
        EXPECT_EQ(form->DspList->currentRow(), c.row);
        EXPECT_EQ(form->PageControl1->currentWidget(), c.page);
        EXPECT_EQ(form->GMenuList->isVisible(), c.jobMenu);
        EXPECT_EQ(form->GyNewBtn->isEnabled(), c.jobMenu);
    }
}

TEST_F(SetGyoumuTest, AReplacedExtensionAsksBeforeOverwritingThatFile)
{
    ASSERT_TRUE(QFile(casePath("kept.bnf")).open(QIODevice::WriteOnly));
    form->show();
    press(form->NewTBtn);
    ui.queueFileName(casePath("kept.txt"));
    ui.queueAnswer(MsgResult::No);
    press(form->SaveTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "kept.bnf は既に存在します。\r\n上書きしますか？");
    EXPECT_EQ(readFile(casePath("kept.bnf")), QByteArray());
    EXPECT_TRUE(form->BnfFile.isEmpty());

    ui.clear();
    ui.queueFileName(casePath("kept.txt"));
    ui.queueAnswer(MsgResult::Yes);
    press(form->SaveTBtn);
    EXPECT_EQ(readFile(casePath("kept.bnf")), newSetBytes());
}

TEST_F(SetGyoumuTest, AFailedSaveLeavesTheEditorsStateAlone)
{
    form->show();
    press(form->NewTBtn);
    ui.queueFileName(casePath("first.bnf"));
    press(form->SaveTBtn);
    form->ChangeFlag = true;
    const QString title = form->windowTitle();

    ui.clear();
    ui.queueFileName(casePath("no/such/folder/second.bnf"));
    press(form->SaveTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "フォルダまたはファイル名を変更してください。");
    EXPECT_EQ(boxes()[0].caption.toStdString(), "ファイル エラー");
    EXPECT_EQ(form->BnfFile, casePath("first.bnf"));
    EXPECT_EQ(stored("BnfFile"), casePath("first.bnf"));
    EXPECT_TRUE(form->ChangeFlag);
    EXPECT_EQ(form->windowTitle(), title);
}

// A refused set shows the failing page and control, one box, and is neither saved nor asked about.
TEST_F(SetGyoumuTest, ValidationStopsASaveAtTheFirstFailingControl)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    press(form->NewTBtn);
    form->Set().GyData[0].GyName.clear();
    form->APOffTimeNE->clear();
    form->DspList->setCurrentRow(1);
    emit form->DspList->itemClicked(form->DspList->currentItem());
    ASSERT_TRUE(form->GNameSE->text().isEmpty());
    ui.queueFileName(casePath("never.bnf"));
    press(form->SaveTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    // The base page's field fails first, whatever page is shown.
    EXPECT_EQ(boxes()[0].caption.toStdString(), "入力エラー");
    EXPECT_EQ(boxes()[0].style.icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(form->PageControl1->currentWidget(), form->SetBase);
    EXPECT_TRUE(form->APOffTimeNE->hasFocus());
    EXPECT_EQ(ui.pendingFileNames(), 1) << "the save dialog was shown";

    ui.clear();
    form->APOffTimeNE->setText(QStringLiteral("30"));
    ui.queueFileName(casePath("never.bnf"));
    press(form->SaveTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "業務名を入力してください。");
    EXPECT_EQ(form->PageControl1->currentWidget(), form->SetGyoumu);
    EXPECT_TRUE(form->GNameSE->hasFocus());
    EXPECT_FALSE(QFile::exists(casePath("never.bnf")));
}

TEST_F(SetGyoumuTest, TheLayoutViewerNeedsTheJobsFileName)
{
    form->show();
    press(form->NewTBtn);
    form->DspList->setCurrentRow(1);
    emit form->DspList->itemClicked(form->DspList->currentItem());
    // The edit shows a name the record does not have: the record decides.
    form->FNameSE->setText(QStringLiteral("SHOWN.DAT"));
    press(form->SDataTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(),
              "この業務のファイル名が未入力なので\r\nデータ登録/送信ができません。");
    EXPECT_EQ(boxes()[0].caption.toStdString(), "送信データレイアウト表示");

    ui.clear();
    form->Set().GyData[0].FName = QStringLiteral("SALES.DAT");
    std::string shownCaption;
    ui.queueForm([&](QDialog &viewer) {
        shownCaption = viewer.objectName().toStdString();
        viewer.reject();
    });
    press(form->SDataTBtn);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(shownCaption, "SendDataForm");
}

TEST_F(SetGyoumuTest, TheJobPageShowsWhatTheJobsModeUses)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    press(form->NewTBtn);
    form->DspList->setCurrentRow(1);
    emit form->DspList->itemClicked(form->DspList->currentItem());
    EXPECT_TRUE(form->SaveGroup->isVisible());
    EXPECT_TRUE(form->KoNameGroup->isVisible());
    EXPECT_FALSE(form->RcvProtoPanel->isVisible());
    EXPECT_EQ(form->KNameSE->text().toStdString(), "新しいデータ項目");

    // Enter moves along the page's chain.
    form->GNameSE->setFocus();
    QTest::keyClick(form->GNameSE, Qt::Key_Return);
    EXPECT_TRUE(form->GModeCB->hasFocus());

    TGyData &job = form->Set().GyData[0];
    job.GyMode = GyModeIndex(QLatin1Char('R'));
    job.RName = QStringLiteral("master.dat");
    emit form->GMenuList->itemClicked(form->GMenuList->item(0));
    EXPECT_FALSE(form->SaveGroup->isVisible());
    EXPECT_FALSE(form->KoNameGroup->isVisible());
    EXPECT_TRUE(form->RcvProtoPanel->isVisible());
    EXPECT_EQ(form->RNameSE->text().toStdString(), "MASTER.DAT");
    // Only collecting jobs have items to add.
    EXPECT_FALSE(form->DaNewBtn->isEnabled());
    EXPECT_FALSE(form->SDataTBtn->isEnabled());
}

// A disk that fills while the set is written over its old file.
TEST_F(SetGyoumuTest, ASaveThatCannotBeCompletedKeepsTheOldFileByteForByte)
{
    form->show();
    press(form->NewTBtn);
    ui.queueFileName(casePath("set.bnf"));
    press(form->SaveTBtn);
    const QByteArray before = readFile(casePath("set.bnf"));
    ASSERT_FALSE(before.isEmpty());
    form->APOffTimeNE->setText(QStringLiteral("45"));
    form->ChangeFlag = true;

    ui.clear();
    ui.queueFileName(casePath("set.bnf"));
    {
        const testsupport::FileSizeLimit full(before.size() / 2);
        ASSERT_TRUE(full.active());
        press(form->SaveTBtn);
    }
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption.toStdString(), "ファイル エラー");
    EXPECT_EQ(readFile(casePath("set.bnf")), before);
    EXPECT_TRUE(form->ChangeFlag);
    EXPECT_EQ(QDir(testsupport::caseFolder())
                  .entryList({QStringLiteral("set.bnf*")}, QDir::Files)
                  .join(u' ')
                  .toStdString(),
              "set.bnf")
        << "a temporary file was left beside the set";
}

TEST_F(SetGyoumuTest, OpenTakesJobSettingsFilesOnly)
{
    ASSERT_TRUE(QFile(casePath("x.txt")).open(QIODevice::WriteOnly));
    form->show();
    ui.queueFileName(casePath("x.txt"));
    press(form->OpenTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "業務データではありません。");
    EXPECT_EQ(boxes()[0].caption.toStdString(), "ファイル エラー");
    EXPECT_EQ(boxes()[0].style.icon, platform::MsgIcon::Exclamation);
    EXPECT_FALSE(form->EditFlag);
}

// The reader reports a file counting more jobs than it holds without a message of its own.
TEST_F(SetGyoumuTest, AFileWithoutItsJobsIsReportedAndNotOpened)
{
    QFile file(casePath("short.bnf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(newSetBytes().left(502));
    file.close();
    form->show();
    ui.queueFileName(casePath("short.bnf"));
    press(form->OpenTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "業務データに異常があります。。");
    EXPECT_EQ(boxes()[0].caption.toStdString(), "業務データエラー");
    EXPECT_FALSE(form->EditFlag);
    EXPECT_FALSE(form->PageControl1->isVisible());
}

TEST_F(SetGyoumuTest, OpenReadsASavedSetWithItsBasePage)
{
    form->show();
    press(form->NewTBtn);
    form->APOffTimeNE->setText(QStringLiteral("45"));
    form->SubMenuChk->setChecked(false);
    ui.queueFileName(casePath("set.BNF"));
    press(form->SaveTBtn);

    TSetGyForm other(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    other.show();
    ui.clear();
    ui.queueFileName(casePath("set.BNF"));
    press(other.OpenTBtn);
    EXPECT_TRUE(boxes().empty());
    // The dialog starts at the set remembered by the first editor.
    EXPECT_EQ(ui.events().front().text, casePath("set.BNF"));
    EXPECT_TRUE(other.EditFlag);
    EXPECT_FALSE(other.ChangeFlag);
    EXPECT_EQ(other.windowTitle().toStdString(), "業務設定(set.BNF)");
    EXPECT_EQ(other.basePageValues().APOffTime.toStdString(), "45");
    EXPECT_FALSE(other.basePageValues().SubMenu);
}

// An opened set is shown from its base page whichever page was shown before, and the selector marks
// it, even after the operator cleared its selection (Ctrl and a click on the selected entry).
TEST_F(SetGyoumuTest, OpenShowsTheBasePageWhicheverPageWasShown)
{
    form->show();
    press(form->NewTBtn);
    ui.queueFileName(casePath("set.BNF"));
    press(form->SaveTBtn);
    for (const int row : {1, 0}) {
        for (const bool cleared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "row " << row << (cleared ? ", selection cleared" : ""));
            showPage(row);
            if (cleared) {
                QTest::mouseClick(form->DspList->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  form->DspList->visualItemRect(form->DspList->item(row)).center());
                ASSERT_TRUE(form->DspList->selectedItems().isEmpty());
            }
            ui.queueAnswer(MsgResult::Yes);
            ui.queueFileName(casePath("set.BNF"));
            press(form->OpenTBtn);
            ASSERT_TRUE(form->EditFlag);
            expectBasePage();
        }
    }
}

// A set received from the terminal is shown from its base page, also when the job page was shown.
TEST_F(SetGyoumuTest, AReceivedSetIsShownFromItsBasePage)
{
    BasePageValues sent;
    sent.APOffTime = QStringLiteral("45");
    const QString outbox = casePath("outbox");
    ASSERT_TRUE(QDir().mkpath(outbox));
    QFile file(QDir(outbox).filePath(QStringLiteral("CNF800.BNF")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(newSetBytes(sent)), newSetBytes(sent).size());
    file.close();
    const jobsuitest::SendingTerminal terminal(outbox);
    ASSERT_TRUE(terminal.ready());

    form->show();
    press(form->NewTBtn);
    showPage(1);
    ASSERT_TRUE(form->GMenuList->isVisible());
    ui.queueAnswer(MsgResult::Yes);
    press(form->RGDatTBtn);
    ASSERT_EQ(boxes().size(), 2u) << terminal.log().toStdString();
    EXPECT_EQ(boxes()[0].text.toStdString(), "現在のデータを破棄してもいいですか？");
    EXPECT_EQ(boxes()[1].text.toStdString(), "正常終了");
    ASSERT_TRUE(form->EditFlag);
    EXPECT_EQ(form->windowTitle().toStdString(), "業務設定(業務設定受信ファイル.Bnf)");
    EXPECT_EQ(form->basePageValues().APOffTime.toStdString(), "45");
    expectBasePage();
}

TEST_F(SetGyoumuTest, CancellingTheOpenDialogLeavesTheEditorClosed)
{
    form->show();
    press(form->NewTBtn);
    ui.queueAnswer(MsgResult::Yes);
    press(form->OpenTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text.toStdString(), "現在のデータを破棄してもいいですか？");
    EXPECT_EQ(boxes()[0].caption.toStdString(), "業務設定を開く");
    EXPECT_EQ(boxes()[0].style.icon, platform::MsgIcon::Question);
    EXPECT_FALSE(form->EditFlag);
    EXPECT_FALSE(form->PageControl1->isVisible());
}

TEST_F(SetGyoumuTest, CloseAndTheCloseBoxAskOnlyAfterAChange)
{
    const QString question =
        QStringLiteral("業務設定が変更されています。\r\n現在のデータを破棄してもいいですか？");
    form->show();
    press(form->NewTBtn);
    press(form->CloseTBtn);
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(form->EditFlag);

    press(form->NewTBtn);
    form->ChangeFlag = true;
    ui.queueAnswer(MsgResult::No);
    press(form->CloseTBtn);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, question);
    EXPECT_EQ(boxes()[0].caption.toStdString(), "業務設定");
    EXPECT_TRUE(form->EditFlag);

    ui.clear();
    ui.queueAnswer(MsgResult::No);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ui.queueAnswer(MsgResult::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(SetGyoumuTest, TheToolButtonsFollowThePage)
{
    form->show();
    press(form->NewTBtn);
    EXPECT_TRUE(form->SaveTBtn->isEnabled());
    EXPECT_FALSE(form->GyNewBtn->isEnabled());
    form->DspList->setCurrentRow(1);
    emit form->DspList->itemClicked(form->DspList->currentItem());
    EXPECT_EQ(form->PageControl1->currentWidget(), form->SetGyoumu);
    EXPECT_TRUE(form->GMenuList->isVisible());
    EXPECT_TRUE(form->GamenPanel->isVisible());
    EXPECT_TRUE(form->GyNewBtn->isEnabled());
    // A new set's job is of mode A.
    EXPECT_TRUE(form->SDataTBtn->isEnabled());
    EXPECT_TRUE(form->GrNewBtn->isEnabled());
    EXPECT_TRUE(form->DaNewBtn->isEnabled());
    EXPECT_EQ(form->GMenuList->count(), 1);
    EXPECT_EQ(form->GMenuList->item(0)->text().toStdString(), "新しい業務");
}

} // namespace
