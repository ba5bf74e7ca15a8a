#include "common/ui/FormKit.h"
#include "common/ui/ProgramStart.h"
#include "platform/AtomicFile.h"
#include "platform/ui/WidgetUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
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
