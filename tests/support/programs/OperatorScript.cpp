#include "OperatorScript.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>

namespace {

void clickAt(QWidget *target, QPoint at)
{
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void press(QWidget *target, int key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

} // namespace

OperatorScript::OperatorScript(const QString &scriptFile, const QString &logFile, platform::UiService &inner)
    : inner_(inner), logFile_(logFile)
{
    // Only the message log may be asked for; an empty name is no script, not a file to open.
    if (scriptFile.isEmpty())
        return;
    ready_ = false;
    QFile file(scriptFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().isEmpty())
            steps_ << line.trimmed();
    ready_ = file.error() == QFileDevice::NoError;
}

void OperatorScript::formShown(QWidget &form)
{
    form_ = &form;
    QTimer::singleShot(100, this, &OperatorScript::next);
}

void OperatorScript::next()
{
    if (steps_.isEmpty())
        return;
    const QString step = steps_.takeFirst();
    if (!runStep(step)) {
        log(QStringLiteral("script"), QStringLiteral("step failed: ") + step);
        QCoreApplication::exit(3);
        std::exit(3);
    }
    QTimer::singleShot(50, this, &OperatorScript::next);
}

bool OperatorScript::runStep(const QString &step)
{
    const QString verb = step.section(u' ', 0, 0);
    const QString name = step.section(u' ', 1, 1);
    const QString rest = step.section(u' ', 2);
    if (verb == QLatin1String("answer")) {
        if (name == QLatin1String("Yes"))
            answers_.push_back(platform::MsgResult::Yes);
        else if (name == QLatin1String("No"))
            answers_.push_back(platform::MsgResult::No);
        else if (name == QLatin1String("Ok"))
            answers_.push_back(platform::MsgResult::Ok);
        else
            return false;
        return true;
    }
    if (verb == QLatin1String("node")) {
        auto *tree = form_->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        bool ok = false;
        const int index = name.toInt(&ok);
        if (!tree || !ok || !tree->topLevelItem(index))
            return false;
        clickAt(tree->viewport(), tree->visualItemRect(tree->topLevelItem(index)).center());
        return true;
    }
    auto *control = form_->findChild<QWidget *>(name);
    if (!control || !control->isVisible() || !control->isEnabled())
        return false;
    if (verb == QLatin1String("click")) {
        clickAt(control, control->rect().center());
        return true;
    }
    control->setFocus(Qt::OtherFocusReason);
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : control;
    if (verb == QLatin1String("type")) {
        for (const QChar c : rest)
            press(target, 0, QString(c));
        return true;
    }
    if (verb == QLatin1String("key")) {
        static const QHash<QString, int> keys{{QStringLiteral("Return"), Qt::Key_Return},
                                              {QStringLiteral("Backspace"), Qt::Key_Backspace},
                                              {QStringLiteral("Escape"), Qt::Key_Escape}};
        if (!keys.contains(rest))
            return false;
        press(target, keys.value(rest), rest == QLatin1String("Return") ? QStringLiteral("\r") : QString());
        return true;
    }
    return false;
}

platform::MsgResult OperatorScript::messageBox(const QString &text, const QString &caption,
                                               const platform::MsgStyle &style)
{
    log(caption, text);
    if (answers_.empty())
        return platform::defaultAnswer(style);
    const platform::MsgResult answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void OperatorScript::beep()
{
    log(QStringLiteral("beep"), QString());
}

int OperatorScript::showModal(QDialog &dialog)
{
    log(dialog.windowTitle(), QStringLiteral("(form)"));
    return 0;
}

void OperatorScript::log(const QString &caption, const QString &text)
{
    if (logFile_.isEmpty())
        return;
    QString line = caption + QLatin1Char('\t') + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    QFile file(logFile_);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}
