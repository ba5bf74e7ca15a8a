#include "masters/ui/MasterEdit.h"

#include "common/RegistryKeys.h"
#include "manager/ui/Main.h"
#include "platform/Registry.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/support/RecordingUiService.h"

#include "common/ui/NEdit.h"
#include "masters/ui/MasterFld.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using managertest::casePath;
using managertest::readFile;
using managertest::writeFile;
using platform::MsgResult;

namespace {

// Types text key by key, as a keyboard or an input method delivers characters (QTest's own key
// clicks know ASCII only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

class MasterFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        master = casePath("m/items.dat");
        // Key 8 bytes, reference 10 bytes (the kanji are converted below).
        QByteArray file;
        for (int i = 1; i <= 30; ++i)
            file += "K" + QByteArray::number(i).rightJustified(4, '0') + "   " + "NAME" +
                    QByteArray::number(i).rightJustified(4, '0') + "  \r\n";
        ASSERT_TRUE(writeFile(master, file));
        ASSERT_TRUE(writeFile(casePath("m/items.FLD"), "8,10\r\n"));
        form.show();
        QApplication::processEvents();
    }
    void open()
    {
        ui.queueFileName(master);
        form.OpenBtn->click();
        ASSERT_TRUE(form.Model().EditFlag)
            << (ui.messageBoxes().empty() ? "" : ui.messageBoxes()[0].text.toStdString());
        QApplication::processEvents();
    }
    QLineEdit *editor() const
    {
        return qobject_cast<QLineEdit *>(form.MasterGrid->indexWidget(form.MasterGrid->currentIndex()));
    }
    QString shown(int row, int column) const { return form.MasterGrid->item(row - 1, column)->text(); }
    void clickCell(int row, int column)
    {
        const QRect cell = form.MasterGrid->visualItemRect(form.MasterGrid->item(row - 1, column));
        QTest::mouseClick(form.MasterGrid->viewport(), Qt::LeftButton, {}, cell.center());
        QApplication::processEvents();
    }

    testsupport::RecordingUi ui;
    TMasterForm form{QStringLiteral("COM1"), 115200};
    QString master;
};

TEST_F(MasterFormTest, OpensAMasterWithAnUpperCaseWidthFileAndShowsItsFirstPage)
{
    EXPECT_FALSE(form.MasterGrid->isVisible());
    EXPECT_FALSE(form.SaveBtn->isEnabled());
    EXPECT_TRUE(form.OpenBtn->isEnabled());
    EXPECT_TRUE(form.ImportBtn->isEnabled());
    open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル（items.dat）編集"));
    EXPECT_TRUE(form.MasterGrid->isVisible());
    EXPECT_EQ(form.MasterGrid->columnCount(), 3);
    EXPECT_EQ(form.MasterGrid->horizontalHeaderItem(0)->text(), QStringLiteral("No"));
    EXPECT_EQ(form.MasterGrid->horizontalHeaderItem(1)->text(), QStringLiteral("検索キー(8桁)"));
    EXPECT_EQ(form.MasterGrid->horizontalHeaderItem(2)->text(), QStringLiteral("参照データ１(10桁)"));
    EXPECT_EQ(shown(1, 0), QStringLiteral("1"));
    EXPECT_EQ(shown(20, 1), QStringLiteral("K0020"));
    EXPECT_EQ(shown(20, 2), QStringLiteral("NAME0020"));
    EXPECT_FALSE(form.NewBtn->isEnabled());
    EXPECT_TRUE(form.SaveBtn->isEnabled());
    ASSERT_NE(editor(), nullptr);
    // Remembered in the settings store.
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(ManagerSettingsKey));
    EXPECT_EQ(registry.ReadString(QStringLiteral("MasterFile")), master);
    EXPECT_EQ(registry.ReadString(QStringLiteral("MasterFolder")), casePath("m") + QLatin1Char('/'));
}

TEST_F(MasterFormTest, PagingButtonsMoveThePage)
{
    open();
    form.NextPageBtn->click();
    EXPECT_EQ(shown(1, 0), QStringLiteral("21"));
    EXPECT_EQ(shown(10, 1), QStringLiteral("K0030"));
    EXPECT_EQ(shown(11, 0), QStringLiteral("31")); // the entry row
    EXPECT_EQ(shown(12, 0), QString());
    form.BackBtn->click();
    EXPECT_EQ(shown(1, 0), QStringLiteral("20"));
    form.NextBtn->click();
    form.NextBtn->click();
    EXPECT_EQ(shown(1, 1), QStringLiteral("K0022"));
    form.BackPaeBtn->click();
    EXPECT_EQ(shown(1, 1), QStringLiteral("K0002"));
    form.BackPaeBtn->click();
    EXPECT_EQ(shown(1, 1), QStringLiteral("K0001"));
}

TEST_F(MasterFormTest, TypingIsCutToTheWidthAndEnterInTheLastColumnWritesTheRow)
{
    open();
    form.NextPageBtn->click();
    clickCell(11, 1); // the entry row
    EXPECT_EQ(form.currentRow(), 11);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), QStringLiteral("NEWKEY123"));
    EXPECT_EQ(editor()->text(), QStringLiteral("NEWKEY12"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(form.currentColumn(), 2);
    ASSERT_NE(editor(), nullptr);
    typeText(editor(), QStringLiteral("商品名称テスト"));
    EXPECT_EQ(editor()->text(), QStringLiteral("商品名称テ"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(form.Model().recordCount(), 31);
    EXPECT_EQ(form.currentRow(), 12);
    EXPECT_EQ(form.currentColumn(), 1);
    EXPECT_EQ(shown(11, 1), QStringLiteral("NEWKEY12"));
    EXPECT_EQ(shown(11, 2), QStringLiteral("商品名称テ"));
    EXPECT_EQ(shown(12, 0), QStringLiteral("32"));
    EXPECT_TRUE(form.Model().ChangeFlag);
}

TEST_F(MasterFormTest, ACellRefusesACharacterAMasterCannotHold)
{
    open();
    clickCell(2, 2);
    ASSERT_NE(editor(), nullptr);
    editor()->setCursorPosition(int(editor()->text().size()));
    typeText(editor(), QStringLiteral("X"));
    // The emoji arrives as one key press carrying its surrogate pair.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"\U0001F600"));
    QApplication::sendEvent(editor(), &press);
    EXPECT_EQ(editor()->text(), QStringLiteral("NAME0002X"));
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text,
              QString::fromUtf16(u"「\U0001F600」(U+1F600) はシフトJISで表せない文字のため入力できません。"));
}

TEST_F(MasterFormTest, AClickBelowTheEntryRowGoesBackToIt)
{
    open();
    form.NextPageBtn->click();
    clickCell(18, 2);
    EXPECT_EQ(form.currentRow(), 11);
    EXPECT_EQ(form.MasterGrid->currentRow(), 10);
    clickCell(3, 0); // the number column
    EXPECT_EQ(form.currentRow(), 3);
    EXPECT_EQ(form.MasterGrid->currentColumn(), 1);
    // The cursor keys stop at the entry row too.
    clickCell(11, 1);
    QTest::keyClick(form.MasterGrid, Qt::Key_Down);
    EXPECT_EQ(form.currentRow(), 11);
    EXPECT_EQ(form.MasterGrid->currentRow(), 10);
}

TEST_F(MasterFormTest, TheCloseQueryKeepsAChangedMasterOpenOnNo)
{
    open();
    clickCell(2, 2);
    QTest::keyClicks(editor(), QStringLiteral("X"));
    ASSERT_TRUE(form.Model().ChangeFlag);
    ui.queueAnswer(MsgResult::No);
    form.EndBtn->click();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text,
              QStringLiteral("データが変更されています。\r\n編集中のデータを破棄してもいいですか？"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("マスターファイル編集"));
    ui.queueAnswer(MsgResult::Yes);
    form.EndBtn->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(readFile(master).mid(20 + 8, 10), QByteArray("NAME0002  ")); // nothing saved
}

TEST_F(MasterFormTest, CloseAsksAndNewStartsWithTheFieldDialog)
{
    open();
    form.CloseBtn->click(); // unchanged: no question
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_FALSE(form.MasterGrid->isVisible());
    EXPECT_TRUE(form.NewBtn->isEnabled());
    ui.queueForm([](QDialog &dialog) {
        auto &fields = static_cast<TMasterFldForm &>(dialog);
        fields.KeyFldNE->setText(QStringLiteral("6"));
        fields.FldNE[0]->setText(QStringLiteral("12"));
        fields.EndBtn->click();
    });
    form.NewBtn->click();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル新規作成"));
    EXPECT_EQ(form.Model().MstFld, (std::vector<int>{6, 12}));
    EXPECT_EQ(form.MasterGrid->horizontalHeaderItem(2)->text(), QStringLiteral("参照データ１(12桁)"));
    EXPECT_EQ(shown(1, 0), QStringLiteral("1"));
    // A cancelled field dialog leaves nothing open.
    ui.queueForm([](QDialog &dialog) { static_cast<TMasterFldForm &>(dialog).CancelBtn->click(); });
    form.CloseBtn->click();
    form.NewBtn->click();
    EXPECT_FALSE(form.Model().EditFlag);
    EXPECT_FALSE(form.MasterGrid->isVisible());
}

TEST_F(MasterFormTest, SaveTakesTheEntryRowAndWritesBothFiles)
{
    open();
    form.NextPageBtn->click();
    clickCell(11, 1);
    QTest::keyClicks(editor(), QStringLiteral("K0031"));
    form.MasterGridSetEditText(11, 2, QStringLiteral("最後"));
    const QString saved = casePath("out/items2.dat");
    ASSERT_TRUE(QDir().mkpath(casePath("out")));
    ui.queueFileName(saved);
    form.SaveBtn->click();
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_EQ(readFile(saved).size(), 31 * 20);
    EXPECT_EQ(readFile(saved).left(30 * 20), readFile(master));
    EXPECT_EQ(readFile(casePath("out/items2.fld")), QByteArray("8,10\r\n"));
    EXPECT_FALSE(form.Model().ChangeFlag);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル（items2.dat）編集"));
    EXPECT_EQ(form.MasterFile, saved);
}

TEST(MasterMenu, TheMainMenuOpensTheEditor)
{
    testsupport::RecordingUi ui;
    TMainForm menu;
    MainForm = &menu;
    auto *button = menu.findChild<QPushButton *>(QStringLiteral("MasterBtn"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    bool opened = false;
    ui.queueForm([&](QDialog &dialog) {
        opened = dialog.objectName() == QLatin1String("MasterForm");
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("マスターファイル編集"));
        EXPECT_FALSE(menu.isEnabled());
        static_cast<TMasterForm &>(dialog).EndBtn->click();
    });
    button->click();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(menu.isEnabled());
    MainForm = nullptr;
}

} // namespace
