#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "common/ui/NEdit.h"
#include "tests/support/RecordingUiService.h"

namespace {

using Align = TNEdit::TAlignment;

class NEditTest : public testing::Test {
protected:
    // Sets the text as a form would, with the caret after `caret` characters (-1: at the end).
    void start(const QString &text, int caret = -1)
    {
        edit.setText(text);
        edit.setCursorPosition(caret < 0 ? int(text.size()) : caret);
    }
    void focus(Qt::FocusReason reason)
    {
        QFocusEvent event(QEvent::FocusIn, reason);
        QApplication::sendEvent(&edit, &event);
    }

    testsupport::RecordingUi ui;
    TNEdit edit;
};

TEST_F(NEditTest, NewControlHasDefaults)
{
    EXPECT_FALSE(edit.ZeroDisplay());
    EXPECT_FALSE(edit.CanNegative());
    EXPECT_FALSE(edit.CanDot());
    EXPECT_EQ(edit.MaxDegits(), 10);
    EXPECT_EQ(edit.MaxValue(), 2147483647);
    EXPECT_EQ(edit.MinValue(), 0);
    EXPECT_EQ(edit.Alignment(), Align::taRightJustify);
    EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_TRUE(edit.AutoSelect());
    EXPECT_EQ(edit.maxLength(), 12);
    EXPECT_FALSE(edit.acceptDrops());
}

TEST_F(NEditTest, SettersIgnoreOutOfRangeValues)
{
    edit.SetMaxDegits(13);
    edit.SetMaxDegits(0);
    EXPECT_EQ(edit.MaxDegits(), 10);
    edit.SetMaxDegits(4);
    EXPECT_EQ(edit.MaxDegits(), 4);

    edit.SetMaxValue(-1);
    edit.SetMinValue(-1);
    EXPECT_EQ(edit.MaxValue(), 2147483647);
    EXPECT_EQ(edit.MinValue(), 0);
    edit.SetCanNegative(true);
    edit.SetMinValue(-50);
    edit.SetMaxValue(-1);
    EXPECT_EQ(edit.MinValue(), -50);
    EXPECT_EQ(edit.MaxValue(), -1);
}

TEST_F(NEditTest, AlignmentMapsToTheLineEdit)
{
    const std::pair<Align, Qt::Alignment> rows[] = {
        {Align::taLeftJustify, Qt::AlignLeft},
        {Align::taCenter, Qt::AlignHCenter},
        {Align::taRightJustify, Qt::AlignRight},
    };
    for (const auto &[alignment, qt] : rows) {
        edit.SetAlignment(alignment);
        EXPECT_EQ(edit.Alignment(), alignment);
        EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, qt);
    }
}

struct Typing {
    const char *name;
    std::function<void(TNEdit &)> setup;
    const char16_t *start; // set by the program, caret at the end unless `caret` says otherwise
    int caret;
    const char *keys;
    const char16_t *text;
    int endCaret;
    int beeps;
};

void signedFrom100(TNEdit &e)
{
    e.SetCanNegative(true);
    e.SetMinValue(-100);
}

const Typing Typings[] = {
    {"zero then zero", [](TNEdit &) {}, u"", -1, "00", u"0", 1, 0},
    {"digit replaces zero", [](TNEdit &) {}, u"", -1, "05", u"5", 1, 0},
    {"zero display keeps zero", [](TNEdit &e) { e.SetZeroDisplay(true); }, u"", -1, "05", u"05", 2, 0},
    {"digit budget, no beep", [](TNEdit &e) { e.SetMaxDegits(3); }, u"", -1, "1234", u"123", 3, 0},
    {"maximum beeps", [](TNEdit &e) { e.SetMaxValue(100); }, u"", -1, "101", u"10", 2, 1},
    {"maximum reached", [](TNEdit &e) { e.SetMaxValue(100); }, u"", -1, "100", u"100", 3, 0},
    {"minimum on empty", [](TNEdit &e) { e.SetMinValue(5); }, u"", -1, "3", u"", 0, 1},
    {"largest value", [](TNEdit &) {}, u"", -1, "2147483647", u"2147483647", 10, 0},
    {"above 32 bits", [](TNEdit &) {}, u"", -1, "2147483648", u"214748364", 9, 1},
    {"signed digit", signedFrom100, u"", -1, "5", u"+5", 2, 0},
    {"minus toggles", signedFrom100, u"", -1, "5-", u"-5", 2, 0},
    {"minus toggles back", signedFrom100, u"", -1, "5--", u"+5", 2, 0},
    {"plus on minus", signedFrom100, u"", -1, "5-+", u"+5", 2, 0},
    {"sign at caret 1", signedFrom100, u"+12", 1, "-", u"-12", 1, 0},
    {"negative number", signedFrom100, u"", -1, "-42", u"-42", 3, 0},
    {"negative below minimum", signedFrom100, u"", -1, "-101", u"-10", 3, 1},
    {"program text gets sign first", signedFrom100, u"5", -1, "6", u"+5", 2, 0},
    {"then the digit", signedFrom100, u"5", -1, "66", u"+56", 3, 0},
    {"dot on empty", [](TNEdit &e) { e.SetCanDot(true); }, u"", -1, ".", u"0.", 2, 0},
    {"dot after digit", [](TNEdit &e) { e.SetCanDot(true); }, u"5", -1, ".", u"5.", 2, 0},
    {"second dot", [](TNEdit &e) { e.SetCanDot(true); }, u"5", -1, "..", u"5.", 2, 0},
    {"dot in front", [](TNEdit &e) { e.SetCanDot(true); }, u"5", 0, ".", u"0.5", 2, 0},
    {"decimals", [](TNEdit &e) { e.SetCanDot(true); }, u"", -1, "12.05", u"12.05", 5, 0},
    {"dot with sign",
     [](TNEdit &e) {
         e.SetCanDot(true);
         e.SetCanNegative(true);
     },
     u"", -1, ".5", u"+0.5", 4, 0},
    {"dot adds sign and is typed",
     [](TNEdit &e) {
         e.SetCanDot(true);
         e.SetCanNegative(true);
     },
     u"5", -1, ".", u"+5.", 3, 0},
    {"dot counts in budget",
     [](TNEdit &e) {
         e.SetCanDot(true);
         e.SetMaxDegits(3);
     },
     u"", -1, "1.23", u"1.2", 3, 0},
    {"fraction not range checked",
     [](TNEdit &e) {
         e.SetCanDot(true);
         e.SetMaxValue(99);
     },
     u"", -1, "99.999", u"99.999", 6, 0},
    {"letters and controls", [](TNEdit &) {}, u"12", -1, "a\t\x1b Z", u"12", 2, 0},
    {"backspace", [](TNEdit &) {}, u"123", 2, "\b", u"13", 1, 0},
    {"sign not cut to length",
     [](TNEdit &e) {
         e.SetMaxDegits(12);
         e.SetCanNegative(true);
     },
     u"123456789012", -1, "-", u"123456789012", 12, 0},
};

class NEditTyping : public NEditTest, public testing::WithParamInterface<Typing> {};

TEST_P(NEditTyping, TextCaretAndBeeps)
{
    const Typing &t = GetParam();
    t.setup(edit);
    start(QString::fromUtf16(t.start), t.caret);
    QTest::keyClicks(&edit, QString::fromLatin1(t.keys));
    EXPECT_EQ(edit.text(), QString::fromUtf16(t.text));
    EXPECT_EQ(edit.cursorPosition(), t.endCaret);
    EXPECT_EQ(ui.beepCount(), t.beeps);
}

std::string typingName(const testing::TestParamInfo<Typing> &info)
{
    std::string name;
    for (const char *p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Keys, NEditTyping, testing::ValuesIn(Typings), typingName);

TEST_F(NEditTest, EnterChangesNothingAndStaysInTheControl)
{
    start(QStringLiteral("12"));
    QSignalSpy returned(&edit, &QLineEdit::returnPressed);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&edit, &enter);
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(returned.count(), 0);
}

TEST_F(NEditTest, ReadOnlyTakesNoKeys)
{
    start(QStringLiteral("12"));
    edit.setReadOnly(true);
    QTest::keyClicks(&edit, QStringLiteral("3\b"));
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
}

TEST_F(NEditTest, ShortcutsStayWithTheBase)
{
    start(QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("123"));
}

TEST_F(NEditTest, KeyOverWholeText)
{
    struct Row {
        const char *what;
        bool canNegative;
        QChar key;
        const char16_t *text;
        int beeps;
    };
    const Row rows[] = {
        {"digit replaces", false, u'9', u"9", 0},
        {"refused minus keeps text", false, u'-', u"12345", 0},
        {"minus starts negative", true, u'-', u"-", 0},
        {"digit gets sign", true, u'7', u"+7", 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        edit.SetCanNegative(r.canNegative);
        start(QStringLiteral("12345"));
        edit.selectAll();
        QTest::keyClick(&edit, r.key.toLatin1());
        EXPECT_EQ(edit.text(), QString::fromUtf16(r.text));
        EXPECT_EQ(ui.beepCount(), r.beeps);
        ui.clear();
    }
}

TEST_F(NEditTest, KeyOverWholeTextIsRangeChecked)
{
    edit.SetMaxValue(5);
    start(QStringLiteral("50"));
    edit.selectAll();
    QTest::keyClick(&edit, '7');
    EXPECT_EQ(edit.text(), QStringLiteral("50"));
    EXPECT_EQ(ui.beepCount(), 1);
    QTest::keyClick(&edit, '4');
    EXPECT_EQ(edit.text(), QStringLiteral("4"));
}

TEST_F(NEditTest, KeyOverPartOfTextIsCheckedAsInserted)
{
    // Selecting "5" of "15" and typing 0 would give "10", but the check reads "105".
    edit.SetMaxValue(100);
    start(QStringLiteral("15"));
    edit.setSelection(1, 1);
    QTest::keyClick(&edit, '0');
    EXPECT_EQ(edit.text(), QStringLiteral("15"));
    EXPECT_EQ(ui.beepCount(), 1);
    // A key that passes replaces the selection, as typing does.
    edit.SetMaxValue(200);
    edit.setSelection(1, 1);
    QTest::keyClick(&edit, '3');
    EXPECT_EQ(edit.text(), QStringLiteral("13"));
}

TEST_F(NEditTest, LeftArrowStopsAtMinus)
{
    struct Row {
        const char16_t *text;
        int caret;
        int after;
    };
    const Row rows[] = {{u"-5", 1, 1}, {u"-5", 2, 1}, {u"+5", 1, 0}, {u"5", 1, 0}};
    edit.SetCanNegative(true);
    for (const Row &r : rows) {
        SCOPED_TRACE(QString::fromUtf16(r.text).toStdString() + " at " + std::to_string(r.caret));
        start(QString::fromUtf16(r.text), r.caret);
        QTest::keyClick(&edit, Qt::Key_Left);
        EXPECT_EQ(edit.cursorPosition(), r.after);
    }
}

TEST_F(NEditTest, FocusSelectsAllWithAutoSelect)
{
    struct Row {
        bool autoSelect;
        Qt::FocusReason reason;
        bool selected;
    };
    const Row rows[] = {
        {true, Qt::TabFocusReason, true},   {true, Qt::MouseFocusReason, true},
        {true, Qt::OtherFocusReason, true}, {true, Qt::PopupFocusReason, false},
        {false, Qt::TabFocusReason, false}, {false, Qt::OtherFocusReason, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::to_string(r.autoSelect) + " reason " + std::to_string(int(r.reason)));
        edit.SetAutoSelect(r.autoSelect);
        start(QStringLiteral("12345"), 2);
        focus(r.reason);
        EXPECT_EQ(edit.selectedText(), r.selected ? QStringLiteral("12345") : QString());
    }
}

TEST_F(NEditTest, FirstKeyAfterFocusReplacesText)
{
    start(QStringLiteral("12345"));
    focus(Qt::TabFocusReason);
    QTest::keyClicks(&edit, QStringLiteral("7"));
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
}

TEST_F(NEditTest, KeyPressHookSeesFilteredCharacters)
{
    QString seen;
    QObject::connect(&edit, &TNEdit::KeyPress, [&seen](QChar &key) {
        seen += key == u'\b' ? u'<' : key;
        if (key == u'1')
            key = u'2';
        else if (key == u'9')
            key = QChar();
    });
    edit.SetCanNegative(true);
    edit.SetMinValue(-99999);
    start(QStringLiteral("5"));
    // "6" only adds the sign, "-" toggles it: neither reaches the hook.
    QTest::keyClicks(&edit, QStringLiteral("6-a1943\b"));
    EXPECT_EQ(seen, QStringLiteral("1943<"));
    EXPECT_EQ(edit.text(), QStringLiteral("-524"));
}

TEST_F(NEditTest, RuleChangesAreEdits)
{
    // Forms listen to textEdited: a sign set by the filter must reach them like a typed key.
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    edit.SetCanNegative(true);
    edit.SetMinValue(-100);
    start(QStringLiteral("5"));
    QTest::keyClicks(&edit, QStringLiteral("6-"));
    ASSERT_EQ(edited.count(), 2);
    EXPECT_EQ(edited.at(0).at(0).toString(), QStringLiteral("+5"));
    EXPECT_EQ(edited.at(1).at(0).toString(), QStringLiteral("-5"));
}

class NEditPaste : public NEditTest {
protected:
    void SetUp() override
    {
        edit.SetCanDot(true);
        edit.SetMaxValue(100);
    }
};

TEST_F(NEditPaste, KeyboardPasteIsFilteredCharacterByCharacter)
{
    struct Row {
        const char *what;
        const char16_t *clip;
        const char16_t *text;
        int beeps;
    };
    const Row rows[] = {
        {"junk dropped", u"a1-2.3\r\n4", u"12.34", 0},
        {"range beeps per key", u"1234", u"12", 2},
        {"full-width digits", u"\xff11\xff12", u"", 0},
    };
    for (const Row &r : rows) {
        for (const auto &[key, modifiers] :
             {std::pair{Qt::Key_V, Qt::ControlModifier}, std::pair{Qt::Key_Insert, Qt::ShiftModifier}}) {
            SCOPED_TRACE(std::string(r.what) + (key == Qt::Key_V ? " ctrl+v" : " shift+insert"));
            start(QString());
            ui.clear();
            QGuiApplication::clipboard()->setText(QString::fromUtf16(r.clip));
            QTest::keyClick(&edit, key, modifiers);
            EXPECT_EQ(edit.text(), QString::fromUtf16(r.text));
            EXPECT_EQ(ui.beepCount(), r.beeps);
        }
    }
}

TEST_F(NEditPaste, PasteOverWholeText)
{
    start(QStringLiteral("99"));
    edit.selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("x5"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("5"));
}

TEST_F(NEditPaste, ContextMenuPasteIsFiltered)
{
    start(QStringLiteral("1"));
    QGuiApplication::clipboard()->setText(QStringLiteral("00-0.5"));
    std::unique_ptr<QMenu> menu(edit.createFilteredContextMenu());
    QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(edit.text(), QStringLiteral("100.5"));
    EXPECT_EQ(ui.beepCount(), 1); // the third 0 would give 1000
}

TEST_F(NEditPaste, CommittedInputMethodTextIsFiltered)
{
    start(QStringLiteral("1"));
    QInputMethodEvent commit;
    commit.setCommitString(QChar(0xff12) + QStringLiteral("2a.7"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), QStringLiteral("12.7"));
}

} // namespace
