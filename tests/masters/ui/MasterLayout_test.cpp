// Where the master editor's forms put their controls: the tool bar stays put, the grid draws every
// cell in one face, and each caption reads whole and in order.

#include "masters/ui/MasterEdit.h"
#include "masters/ui/MasterFld.h"
#include "masters/ui/SelectTable.h"
#include "masters/ui/SendMst.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/Cp932.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/masters/FakeTableSource.h"
#include "tests/masters/ui/MasterUiTest.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRawFont>
#include <QTableWidget>
#include <QTest>
#include <QTextLayout>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::MsgResult;

namespace {

std::string rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

QRect placeIn(const QWidget &window, const QWidget *control)
{
    return QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
}

// A master whose reference field holds half-width katakana, kanji and digits side by side.
QString writeMaster()
{
    const QString master = managertest::casePath("m/SHOHIN.DAT");
    QByteArray data;
    for (const char16_t *name : {u"ｼｮｳﾕ 1L", u"味噌 赤だし", u"ﾐｿ ｱｶﾀﾞｼ 500g"}) {
        QByteArray bytes = platform::cp932::encode(QString::fromUtf16(name));
        data += "4901234500001" + bytes + QByteArray(20 - bytes.size(), ' ') + "\r\n";
    }
    EXPECT_TRUE(managertest::writeFile(master, data));
    EXPECT_TRUE(managertest::writeFile(managertest::casePath("m/SHOHIN.fld"), "13,20\r\n"));
    return master;
}

TEST(MasterLayout, TheToolBarStaysAtTheTopFromTheStartThroughOpenAndClose)
{
    const QString master = writeMaster();
    testsupport::RecordingUi ui;
    TMasterForm form(QStringLiteral("COM1"), 115200);
    form.show();
    QApplication::processEvents();
    const QSize size = form.size();
    const QRect bar = placeIn(form, form.ToolBar1);
    const QRect open = placeIn(form, form.OpenBtn);
    EXPECT_EQ(bar.top(), form.layout()->contentsMargins().top()) << rectText(bar);
    testsupport::shootDialog(form, QStringLiteral("master-editor-empty.png"));
    form.show();

    const auto expectInPlace = [&](const char *when) {
        QApplication::processEvents();
        EXPECT_EQ(rectText(placeIn(form, form.ToolBar1)), rectText(bar)) << when;
        EXPECT_EQ(rectText(placeIn(form, form.OpenBtn)), rectText(open)) << when;
        EXPECT_EQ(form.size(), size) << when;
    };
    ui.queueFileName(master);
    form.OpenBtn->click();
    ASSERT_TRUE(form.MasterGrid->isVisible());
    expectInPlace("after 開く");
    // The grid starts right under the tool bar.
    EXPECT_LT(placeIn(form, form.MasterGrid).top() - bar.bottom(), 16);
    testsupport::shootDialog(form, QStringLiteral("master-editor-open.png"));
    form.show();
    form.CloseBtn->click();
    ASSERT_FALSE(form.MasterGrid->isVisible());
    expectInPlace("after 閉じる");
    testsupport::shootDialog(form, QStringLiteral("master-editor-closed.png"));
    form.show();
    // The next 開く is where it was: a click in its middle opens the file dialog.
    QTest::mouseClick(form.OpenBtn, Qt::LeftButton);
    EXPECT_EQ(ui.fileDialogs().size(), 2u);
}

TEST(MasterLayout, TheGridDrawsKanaKanjiAndDigitsInOneFaceAndSize)
{
    const QString master = writeMaster();
    testsupport::RecordingUi ui;
    TMasterForm form(QStringLiteral("COM1"), 115200);
    masteruitest::showAndOpen(form, ui, master);
    const QFont font = form.MasterGrid->font();
    const QFontInfo info(font);
    for (int row = 0; row < 3; ++row) {
        const QString text = form.MasterGrid->item(row, 1)->text() + form.MasterGrid->item(row, 2)->text();
        SCOPED_TRACE(text.toStdString());
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            glyphs += static_cast<int>(run.glyphIndexes().size());
            EXPECT_EQ(run.rawFont().familyName().toStdString(), info.family().toStdString());
            EXPECT_EQ(run.rawFont().pixelSize(), info.pixelSize());
        }
        EXPECT_EQ(glyphs, text.size()) << "a character has no glyph";
    }
    // The cell being edited and the column titles share the face.
    QWidget *editor = form.MasterGrid->indexWidget(form.MasterGrid->currentIndex());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(QFontInfo(editor->font()).family(), info.family());
}

TEST(MasterLayout, AWidthReadsCaptionEditUnitAndHiddenRowsKeepTheirPlace)
{
    testsupport::RecordingUi ui;
    TMasterFldForm form({13, 20});
    form.show();
    QApplication::processEvents();
    struct Row {
        const char *caption;
        QWidget *edit;
        QLabel *unit;
    };
    const Row rows[] = {
        {"検索キー桁数", form.KeyFldNE, form.KeyFldUnit},
        {"参照データ１桁数", form.FldNE[0], form.FldUnit[0]},
        {"参照データ２桁数", form.FldNE[1], form.FldUnit[1]},
        {"参照データ３桁数", form.FldNE[2], form.FldUnit[2]},
        {"参照データ４桁数", form.FldNE[3], form.FldUnit[3]},
        {"参照データ５桁数", form.FldNE[4], form.FldUnit[4]},
    };
    const auto captionOf = [&form](const char *text) -> QLabel * {
        for (QLabel *label : form.findChildren<QLabel *>())
            if (label->text() == QString::fromUtf8(text))
                return label;
        return nullptr;
    };
    const QSize size = form.size();
    const QRect confirm = placeIn(form, form.EndBtn);
    for (int count = 5; count >= 1; count -= 4) {
        form.FldCntCB->setCurrentIndex(count - 1);
        emit form.FldCntCB->activated(count - 1);
        QApplication::processEvents();
        for (int i = 0; i < 1 + count; ++i) {
            SCOPED_TRACE(rows[i].caption);
            QLabel *caption = captionOf(rows[i].caption);
            ASSERT_NE(caption, nullptr);
            ASSERT_NE(rows[i].unit, nullptr);
            ASSERT_TRUE(rows[i].edit->isVisible() && rows[i].unit->isVisible());
            EXPECT_EQ(rows[i].unit->text(), QStringLiteral("桁"));
            const QRect c = placeIn(form, caption), e = placeIn(form, rows[i].edit),
                        u = placeIn(form, rows[i].unit);
            // One line, read left to right.
            EXPECT_LT(c.right(), e.left()) << rectText(c) << " " << rectText(e);
            EXPECT_LT(e.right(), u.left()) << rectText(e) << " " << rectText(u);
            EXPECT_TRUE(c.top() < e.bottom() && e.top() < c.bottom() && u.top() < e.bottom() &&
                        e.top() < u.bottom())
                << rectText(c) << " " << rectText(e) << " " << rectText(u);
        }
        for (int i = 1 + count; i < 6; ++i)
            EXPECT_FALSE(rows[i].edit->isVisible() || rows[i].unit->isVisible()) << rows[i].caption;
        EXPECT_EQ(form.size(), size) << count << " reference fields";
        EXPECT_EQ(rectText(placeIn(form, form.EndBtn)), rectText(confirm)) << count << " reference fields";
    }
}

TEST(MasterLayout, TheImportHintBreaksWhereTheSentencePauses)
{
    masteruitest::NoSink sink;
    testsupport::RecordingUi ui;
    masterstest::FakeTableSource source;
    TSelectTableForm form(source, {}, {6, 7}, sink);
    form.show();
    const QStringList lines = form.Memo1->text().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.join(QString()),
              QStringLiteral("テーブルを選択して検索キー項目と参照データ項目を指定してください。"));
    for (const QString &line : lines) {
        // A line never starts with a particle or a full stop that belongs to the line before.
        EXPECT_FALSE(line.startsWith(QStringLiteral("と")) || line.startsWith(QStringLiteral("。")))
            << line.toStdString();
    }
    EXPECT_FALSE(form.Memo1->wordWrap()) << "wrapping would break the lines elsewhere";
}

TEST(MasterLayout, EveryFormFitsTheScreenAndReadsWhole)
{
    testsupport::RecordingUi ui;
    const auto check = [](QWidget &form, const char *when) {
        SCOPED_TRACE(when);
        form.show();
        QApplication::processEvents();
        testsupport::expectTextsWhole(form);
        testsupport::expectFitsScreen(form);
    };
    // The widest master there is: a key and five references of the largest widths.
    const QString master = managertest::casePath("m/WIDE.DAT");
    ASSERT_TRUE(managertest::writeFile(master, QByteArray(599, 'W') + "\r\n"));
    ASSERT_TRUE(managertest::writeFile(managertest::casePath("m/WIDE.fld"), "99,100,100,100,100,100\r\n"));
    TMasterForm editor(QStringLiteral("COM1"), 115200);
    check(editor, "editor without a master");
    masteruitest::showAndOpen(editor, ui, master);
    check(editor, "editor with six wide fields");
    for (QToolButton *b : editor.ToolBar1->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(b->objectName() == QLatin1String("qt_toolbar_ext_button") || b->isVisible())
            << b->objectName().toStdString() << " went into the tool bar's overflow";

    TMasterFldForm fields({99, 100, 100, 100, 100, 100});
    check(fields, "field dialog with five references");

    TSendMstForm send(QStringLiteral("COM1"), 115200, QStringLiteral("SHOHIN.DAT"), QStringLiteral("/tmp/x"),
                      {13, 20, 6});
    check(send, "send dialog");

    masteruitest::NoSink sink;
    masterstest::FakeTableSource source;
    source.add(QStringLiteral("商品マスター（本社）"), masterstest::goodsTable());
    TSelectTableForm tables(source, source.order, {99, 100, 100, 100, 100, 100}, sink);
    check(tables, "table dialog with six fields");
}

} // namespace
