// The drop-downs of the job settings editor and its dialogs are chosen from their lists only, and
// Return on them still moves along each form's own chain.

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/DefMaster.h"
#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetBt.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "common/ui/ListCombo.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct JobForms {
    testsupport::RecordingUi ui;
    std::unique_ptr<TSetData> set = std::make_unique<TSetData>();
    TAddGyDat addJob;
    TAddKoDat addItem;
    std::unique_ptr<masterdef::MasterCopy> copy;
    const masterdef::ItemRef item{0, false, 1};

    JobForms()
    {
        InitSetData(*set);
        TMstDat master;
        master.MFName = QStringLiteral("SHOHIN.DAT");
        master.QDNum = 3;
        set->MstDat[0] = master;
        set->MstNum = 1;
        TGyData &job = set->GyData[0];
        job.DaCount = 3;
        for (int i = 0; i < 3; ++i)
            InitKoData(job.DaKoDa[i], QStringList{"商品", "得意先", "数量"}[i], u'A');
        set->GyCount = 1;
        addItem.KName = QStringLiteral("データ項目");
        copy = std::make_unique<masterdef::MasterCopy>(*set);
    }

    // The editor with a new set, on the page of its first job.
    static std::unique_ptr<QDialog> editorOnItsJobPage()
    {
        auto form =
            std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        form->DspList->setCurrentRow(1);
        emit form->DspList->itemClicked(form->DspList->currentItem());
        return form;
    }
};

struct NamedForm {
    const char *name;
    std::function<std::unique_ptr<QDialog>()> make;
};

std::vector<NamedForm> jobForms(JobForms &f)
{
    return {
        {"job settings editor", [] { return JobForms::editorOnItsJobPage(); }},
        {"job addition",
         [&] { return std::make_unique<TAdGyForm>(f.addJob, QStringLiteral("/nonexistent/")); }},
        {"item addition", [&] { return std::make_unique<TAdKoForm>(f.addItem); }},
        {"barcode reading settings",
         [&] {
             return std::make_unique<TSetBarCodeForm>(f.set->GyData[0], false, 0,
                                                      QStringLiteral("/nonexistent/AiCode.Tbl"));
         }},
        {"Bluetooth settings", [] { return std::make_unique<TSetBtForm>(); }},
        {"master reference", [&] { return std::make_unique<TSetMasterForm>(*f.set, f.item); }},
        {"master definition", [&] { return std::make_unique<TDefMasterForm>(*f.copy, *f.set, f.item); }},
    };
}

// An item whose first letter differs from the first item's: a box searching by typed letters would
// jump to it.
int itemTypedAway(const QComboBox &box)
{
    const QString first = box.itemText(0);
    for (int i = 1; i < box.count(); ++i)
        if (!box.itemText(i).isEmpty() && (first.isEmpty() || box.itemText(i).at(0) != first.at(0)))
            return i;
    return -1;
}

} // namespace

TEST(JobFormListCombos, TypingIntoAnyDropDownLeavesItsChoice)
{
    JobForms f;
    for (const NamedForm &entry : jobForms(f)) {
        SCOPED_TRACE(entry.name);
        const std::unique_ptr<QDialog> form = entry.make();
        form->show();
        int tried = 0;
        for (QComboBox *box : form->findChildren<QComboBox *>()) {
            const int target = itemTypedAway(*box);
            if (!box->isEnabled() || target < 0)
                continue;
            SCOPED_TRACE(box->objectName().toStdString());
            EXPECT_NE(qobject_cast<TListCombo *>(box), nullptr);
            box->setCurrentIndex(0);
            QSignalSpy activated(box, &QComboBox::activated);
            const QString text = box->itemText(target);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.left(1));
            QApplication::sendEvent(box, &key);
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(box, &commit);
            EXPECT_EQ(box->currentIndex(), 0);
            EXPECT_EQ(activated.count(), 0);
            ++tried;
        }
        EXPECT_GT(tried, 0);
    }
}

TEST(JobFormListCombos, ReturnOnADropDownMovesAlongTheFormsChain)
{
    JobForms f;
    struct Case {
        const char *form;
        const char *from;
        const char *to;
    };
    const Case cases[] = {
        {"job settings editor", "KNFColorCB", "KNBColorCB"},
        {"job settings editor", "KDSizeCB", "KDFColorCB"},
        {"job addition", "GModeCB", "FNameSE"}, // a collecting job goes on to its file
    };
    for (const NamedForm &entry : jobForms(f)) {
        for (const Case &c : cases) {
            if (std::string(c.form) != entry.name)
                continue;
            SCOPED_TRACE(std::string(c.form) + ": " + c.from);
            const std::unique_ptr<QDialog> form = entry.make();
            form->show();
            QApplication::setActiveWindow(form.get());
            auto *box = form->findChild<TListCombo *>(QString::fromLatin1(c.from));
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(box->isVisible());
            QSignalSpy enter(box, &TListCombo::EnterPressed);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
            ASSERT_NE(QApplication::focusWidget(), nullptr);
            EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), c.to);
            EXPECT_EQ(enter.count(), 0) << "the form's chain saw Return after the box";
            EXPECT_TRUE(form->isVisible());
        }
    }
}
