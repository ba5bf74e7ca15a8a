#include "common/ui/FormKit.h"
#include "common/ui/ProgramStart.h"
#include "platform/AtomicFile.h"
#include "platform/ui/WidgetUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(FormKit, LoadingGuardRestoresTheOuterValue)
{
    bool loading = false;
    {
        const formkit::LoadingGuard outer(loading);
        EXPECT_TRUE(loading);
        {
            const formkit::LoadingGuard inner(loading);
            EXPECT_TRUE(loading);
        }
        EXPECT_TRUE(loading) << "an inner fill unmuted the outer one";
    }
    EXPECT_FALSE(loading);
}

TEST(FormKit, ButtonsAreNeverPressedByReturnElsewhere)
{
    QWidget window;
    QPushButton *b = formkit::button("OkBtn", QStringLiteral("ＯＫ"), &window);
    EXPECT_EQ(b->objectName(), QStringLiteral("OkBtn"));
    EXPECT_FALSE(b->autoDefault());
    EXPECT_FALSE(b->isDefault());
}

// A dialog with an edit, a form-kit button and a default button Qt would press on Return.
struct EnterDialog {
    QDialog dialog;
    QLineEdit *edit = new QLineEdit(&dialog);
    QPushButton *kit = formkit::button("KitBtn", QStringLiteral("追加"), &dialog);
    QPushButton *fallback = new QPushButton(QStringLiteral("既定"), &dialog);
    int kitPresses = 0;
    int fallbackPresses = 0;
    EnterDialog()
    {
        auto *layout = new QVBoxLayout(&dialog);
        for (QWidget *w : std::initializer_list<QWidget *>{edit, kit, fallback})
            layout->addWidget(w);
        fallback->setDefault(true);
        QObject::connect(kit, &QPushButton::clicked, [this] { ++kitPresses; });
        QObject::connect(fallback, &QPushButton::clicked, [this] { ++fallbackPresses; });
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }
};

TEST(FormKit, EnterPressesTheFocusedButtonOnly)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Case &c : {Case{Qt::Key_Return, Qt::NoModifier}, Case{Qt::Key_Enter, Qt::KeypadModifier}}) {
        EnterDialog d;
        d.kit->setFocus();
        QTest::keyClick(d.kit, c.key, c.modifiers);
        EXPECT_EQ(d.kitPresses, 1) << "key " << c.key;
        EXPECT_EQ(d.fallbackPresses, 0) << "key " << c.key;
        EXPECT_TRUE(d.dialog.isVisible());
    }
    // Enter elsewhere never reaches a form-kit button, even one that had the focus before.
    EnterDialog d;
    d.kit->setFocus();
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Return);
    EXPECT_EQ(d.kitPresses, 0);
    // Space still presses it; a held Enter presses it once.
    d.kit->setFocus();
    QTest::keyClick(d.kit, Qt::Key_Space);
    EXPECT_EQ(d.kitPresses, 1);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(d.kit, &repeat);
    EXPECT_EQ(d.kitPresses, 1) << "an auto-repeated Enter pressed the button again";
}

TEST(FormKit, DroppedEnterReachesNeitherTheEditNorTheDefaultButton)
{
    EnterDialog d;
    int returns = 0;
    QObject::connect(d.edit, &QLineEdit::returnPressed, [&] { ++returns; });
    formkit::dropEnter(d.edit);
    d.edit->setFocus();
    QTest::keyClick(d.edit, Qt::Key_Return);
    QTest::keyClick(d.edit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(d.fallbackPresses, 0);
    QTest::keyClicks(d.edit, QStringLiteral("ab"));
    EXPECT_EQ(d.edit->text().toStdString(), "ab") << "other keys must still reach the edit";
}

TEST(FormKit, AClickedToolButtonTakesTheFocusAndThenEnterPressesIt)
{
    QWidget window;
    auto *bar = new QToolBar(&window);
    auto *edit = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(bar);
    layout->addWidget(edit);
    QToolButton *tool = formkit::toolButton(bar, "AddBtn", QStringLiteral("業務追加"));
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    EXPECT_EQ(tool->objectName().toStdString(), "AddBtn");
    EXPECT_EQ(tool->text().toStdString(), "業務追加");
    int presses = 0;
    QObject::connect(tool, &QToolButton::clicked, [&] { ++presses; });
    QTest::mouseClick(tool, Qt::LeftButton);
    EXPECT_TRUE(tool->hasFocus());
    // Then the keyboard presses it again, as it does a push button.
    QTest::keyClick(tool, Qt::Key_Return);
    QTest::keyClick(tool, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(tool, Qt::Key_Space);
    EXPECT_EQ(presses, 4);
}

struct FocusWindow {
    QWidget window;
    QLineEdit *first = new QLineEdit(&window);
    QCheckBox *hidden = new QCheckBox(&window);
    QLineEdit *disabled = new QLineEdit(&window);
    QLineEdit *last = new QLineEdit(&window);
    FocusWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{first, hidden, disabled, last})
            layout->addWidget(w);
        window.show();
        hidden->hide();
        disabled->setEnabled(false);
        QApplication::setActiveWindow(&window);
    }
};

TEST(FormKit, FocusOnAHiddenOrDisabledControlGoesToTheNextThatCanTakeIt)
{
    FocusWindow f;
    EXPECT_TRUE(formkit::requestFocus(f.first));
    EXPECT_TRUE(f.first->hasFocus());
    EXPECT_FALSE(formkit::requestFocus(f.hidden));
    EXPECT_TRUE(f.last->hasFocus());
    f.first->setFocus();
    EXPECT_FALSE(formkit::requestFocus(f.disabled));
    EXPECT_TRUE(f.last->hasFocus());
    EXPECT_FALSE(formkit::requestFocus(nullptr));
    EXPECT_TRUE(f.last->hasFocus());
}

TEST(FormKit, ALockedWindowRefusesToCloseUntilReleased)
{
    QWidget window;
    window.show();
    {
        const formkit::WindowLock lock(&window);
        EXPECT_FALSE(window.isEnabled());
        EXPECT_FALSE(window.close());
        EXPECT_TRUE(window.isVisible());
        {
            const formkit::WindowLock nested(&window);
            EXPECT_FALSE(window.close());
        }
        EXPECT_FALSE(window.isEnabled()) << "the inner lock re-enabled a window the outer one holds";
        EXPECT_FALSE(window.close());
    }
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.close());
}

TEST(FormKit, AReleasedLockGivesTheFocusBackToTheControlThatHadIt)
{
    FocusWindow f;
    f.last->setFocus();
    {
        const formkit::WindowLock lock(&f.window);
        EXPECT_FALSE(f.last->hasFocus());
    }
    EXPECT_TRUE(f.last->hasFocus());
}

TEST(FormKit, AWindowAlreadyDisabledStaysDisabledAfterALock)
{
    QWidget window;
    window.setEnabled(false);
    {
        const formkit::WindowLock lock(&window);
    }
    EXPECT_FALSE(window.isEnabled());
}

// Under a file-size limit a program reports the failed write rather than dying of the signal.
TEST(ProgramStart, AWritePastTheFileSizeLimitFailsAndTheProgramGoesOn)
{
    const QString path = testsupport::caseFolder() + QStringLiteral("/big.dat");
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const struct rlimit limit {
            4096, 4096
        };
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(3);
        programstart::prepareApplication(*qApp, QStringLiteral("テスト"));
        QString error;
        const bool written = platform::writeFileAtomically(path, QByteArray(64 * 1024, 'x'), &error);
        ::_exit(!written && error.contains(QStringLiteral("File too large")) ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Qt's own buttons read as on the operators' Japanese systems.
TEST(ProgramStart, AQuestionBoxAnswersInJapanese)
{
    ASSERT_TRUE(programstart::prepareApplication(*qApp, QStringLiteral("テスト")))
        << "Qt's Japanese translations are not installed (qt6-translations-l10n)";
    platform::WidgetUiService service;
    QStringList buttons;
    QString title;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box != nullptr && box->isVisible()) {
                title = box->windowTitle();
                for (QAbstractButton *b : box->buttons())
                    buttons << b->text();
                box->done(QMessageBox::No);
            }
        }
    });
    answer.start();
    service.messageBox(QStringLiteral("続けますか？"), QStringLiteral("確認"), formkit::questionStyle());
    answer.stop();
    buttons.sort();
    EXPECT_EQ(buttons.join(QLatin1Char('|')).toStdString(), "いいえ(&N)|はい(&Y)");
    EXPECT_EQ(title.toStdString(), "確認");
    EXPECT_EQ(QCoreApplication::applicationName().toStdString(), "テスト");
}

} // namespace
