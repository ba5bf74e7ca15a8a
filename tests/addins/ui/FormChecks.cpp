#include "FormChecks.h"

#include "addins/frame/HandOffClient.h"
#include "addins/frame/ui/AddInMainForm.h"
#include "platform/Registry.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace addintest {
namespace {

void settle()
{
    // Show and hide post their layout requests; the page is where the operator sees it only after them.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// A control as a failure names it: its system name, else its class and caption.
QString nameOf(const QWidget *w)
{
    if (!w->objectName().isEmpty())
        return w->objectName();
    const auto *button = qobject_cast<const QAbstractButton *>(w);
    return QString::fromLatin1(w->metaObject()->className()) +
           (button ? QStringLiteral(" ") + button->text() : QString());
}

// Where each control shown lies in the area.
std::map<const QWidget *, QPoint> placesOn(const QWidget &page)
{
    std::map<const QWidget *, QPoint> places;
    for (const QWidget *w : page.findChildren<QWidget *>())
        if (w->isVisible())
            places[w] = w->mapTo(&page, QPoint(0, 0));
    return places;
}

void toggle(QWidget &window, QWidget &area, QAbstractButton *box, const QString &when)
{
    const std::map<const QWidget *, QPoint> before = placesOn(area);
    const QPoint at = before.at(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
    settle();
    const std::map<const QWidget *, QPoint> after = placesOn(area);
    for (const auto &[w, place] : before) {
        const auto moved = after.find(w);
        if (place.y() > at.y() || moved == after.end() || (w != box && box->isAncestorOf(w)))
            continue;
        EXPECT_EQ(moved->second, place) << nameOf(w).toStdString() << " moved when "
                                        << nameOf(box).toStdString() << " was " << when.toStdString();
    }
    testsupport::expectTextsWhole(window);
    testsupport::expectFitsScreen(window);
}

} // namespace

void handOverNewJob(int model)
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), QStringLiteral("検品")));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), model));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 0));
    reg.CloseKey();
}

void expectEveryPageStays(TAddInMainForm &form)
{
    form.show();
    settle();
    testsupport::expectFitsScreen(form);
    const QSize opened = form.size();
    for (int page = 0; page < form.PageControl1->count(); ++page) {
        SCOPED_TRACE(testing::Message() << "page " << page);
        openPage(form, page);
        expectControlsStay(form, *form.PageControl1->currentWidget());
        // A form that grows with a page jumps under the operator's eyes.
        EXPECT_EQ(form.size(), opened);
    }
}

void openPage(TAddInMainForm &form, int page)
{
    QTreeWidgetItem *node = form.TreeView1->topLevelItem(page);
    form.TreeView1->setCurrentItem(node);
    emit form.TreeView1->itemClicked(node, 0);
    settle();
}

void expectControlsStay(QWidget &window, QWidget &area)
{
    settle();
    testsupport::expectTextsWhole(window);
    std::vector<QAbstractButton *> ticked;
    for (QAbstractButton *box : area.findChildren<QAbstractButton *>()) {
        const bool choice = qobject_cast<QCheckBox *>(box) || qobject_cast<QRadioButton *>(box);
        if (!choice || !box->isVisible() || !box->isEnabled() ||
            (box->isChecked() && qobject_cast<QRadioButton *>(box)))
            continue;
        toggle(window, area, box, QStringLiteral("clicked"));
        ticked.push_back(box);
    }
    for (auto it = ticked.rbegin(); it != ticked.rend(); ++it)
        if (qobject_cast<QCheckBox *>(*it) && (*it)->isVisible() && (*it)->isEnabled())
            toggle(window, area, *it, QStringLiteral("clicked back"));
}

void expectFocusReturns(QWidget &window, QAbstractButton *opener, const std::function<void(QDialog &)> &close)
{
    auto *service = dynamic_cast<testsupport::RecordingUiService *>(&platform::ui());
    ASSERT_NE(service, nullptr) << "a RecordingUi must be installed";
    const std::size_t shown = service->forms().size();
    QApplication::setActiveWindow(&window);
    opener->setFocus();
    settle();
    ASSERT_EQ(QApplication::focusWidget(), opener) << nameOf(opener).toStdString();
    service->queueForm([&close](QDialog &dialog) {
        testsupport::expectTextsWhole(dialog);
        testsupport::expectFitsScreen(dialog);
        close(dialog);
    });
    QTest::keyClick(opener, Qt::Key_Return);
    settle();
    ASSERT_EQ(service->forms().size(), shown + 1)
        << "Enter on " << nameOf(opener).toStdString() << " opened nothing";
    // The window manager activates the window again once the dialog has gone.
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(QApplication::focusWidget(), opener)
        << "the focus is on "
        << (QApplication::focusWidget() ? nameOf(QApplication::focusWidget()).toStdString() : "nothing")
        << " after the dialog of " << nameOf(opener).toStdString();
}

void expectDialogsStay(std::initializer_list<QAbstractButton *> openers)
{
    auto *service = dynamic_cast<testsupport::RecordingUiService *>(&platform::ui());
    ASSERT_NE(service, nullptr) << "a RecordingUi must be installed";
    for (QAbstractButton *opener : openers) {
        SCOPED_TRACE(nameOf(opener).toStdString());
        const std::size_t shown = service->forms().size();
        service->queueForm([](QDialog &dialog) {
            expectControlsStay(dialog, dialog);
            auto *cancel = dialog.findChild<QAbstractButton *>(QStringLiteral("CancelBtn"));
            ASSERT_NE(cancel, nullptr);
            cancel->click();
        });
        QTest::mouseClick(opener, Qt::LeftButton);
        EXPECT_EQ(service->forms().size(), shown + 1);
    }
}

} // namespace addintest
