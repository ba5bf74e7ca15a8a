#include "ManagerTestSupport.h"
#include "comm/CorlissRules.h"
#include "comm/ui/CorlissL.h"
#include "manager/ui/Main.h"
#include "platform/Registry.h"
#include "tests/comm/ComPortPty.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using commtest::PortOverride;
using commtest::PortPty;
using commtest::storedInteger;

namespace {

// The operator picks an item from the open list.
void pick(QDialog &form, const char *box, int index)
{
    auto *combo = form.findChild<QComboBox *>(QString::fromLatin1(box));
    ASSERT_NE(combo, nullptr) << box;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void click(QDialog &form, const char *button)
{
    auto *b = form.findChild<QPushButton *>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

int selected(QDialog &form, const char *box)
{
    const auto *combo = form.findChild<QComboBox *>(QString::fromLatin1(box));
    return combo ? combo->currentIndex() : -2;
}

class SetComBtnTest : public testing::Test {
protected:
    void SetUp() override
    {
        managertest::storeModeSettings(false);
        YmInitialize();
        // COM1 and COM3 are free ptys; the other ports name no device.
        for (int n = 1; n <= 9; ++n)
            absent_.push_back(std::make_unique<PortOverride>(n, testsupport::caseFolder() +
                                                                    QStringLiteral("/absent-COM%1").arg(n)));
        for (int n : {1, 3}) {
            ptys_.push_back(std::make_unique<PortPty>(n));
            ASSERT_TRUE(ptys_.back()->ok());
        }
    }
    void TearDown() override { MainForm = nullptr; }

    testsupport::RecordingUi ui;

private:
    std::vector<std::unique_ptr<PortOverride>> absent_;
    std::vector<std::unique_ptr<PortPty>> ptys_;
};

TEST_F(SetComBtnTest, TheChosenConditionsBecomeTheMainFormsAndAreStored)
{
    const struct {
        const char *what;
        const char *button;
        int comP;
        int rcvMode;
    } cases[] = {
        {"update", "SetBtn", 3, 0},
        {"cancel", "CancelBtn", 1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        managertest::storeComValue(QStringLiteral("ComPort"), 1);
        managertest::storeComValue(QStringLiteral("ComSpeed"), 460800);
        managertest::storeComValue(QStringLiteral("RcvMode"), 1);
        managertest::storeComValue(QStringLiteral("WrMode"), 0);
        auto form = std::make_unique<TMainForm>();
        MainForm = form.get();
        ASSERT_TRUE(form->SetComBtn->isEnabled());
        ui.clear();

        int shownSpeed = -1;
        int shownWrite = -1;
        ui.queueForm([&](QDialog &f) {
            shownSpeed = selected(f, "ComSpeedCB");
            shownWrite = selected(f, "WrModeCB");
            pick(f, "ComPortCB", 2);
            if (auto *check = f.findChild<QCheckBox *>(QStringLiteral("RcvModeCheck")))
                check->setChecked(false);
            click(f, c.button);
        });
        form->SetComBtn->click();

        EXPECT_EQ(shownSpeed, 1);
        EXPECT_EQ(shownWrite, 0);
        ASSERT_EQ(ui.forms().size(), 1u);
        EXPECT_EQ(ui.forms()[0].caption, QStringLiteral("通信条件設定"));
        EXPECT_FALSE(ui.forms()[0].formLeftOpen);
        EXPECT_EQ(ui.messageBoxCount(), 0);
        EXPECT_EQ(form->ComP, c.comP);
        EXPECT_EQ(form->ComPort, QStringLiteral("COM%1").arg(c.comP));
        EXPECT_EQ(form->ComSpeed, 460800);
        EXPECT_EQ(form->RcvMode, c.rcvMode);
        EXPECT_EQ(form->WrMode, 0);
        EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), c.comP);
        EXPECT_EQ(storedInteger(QStringLiteral("RcvMode")), c.rcvMode);

        // The next opening starts from what the main form holds now.
        int shownPort = -1;
        ui.queueForm([&](QDialog &f) {
            shownPort = selected(f, "ComPortCB");
            click(f, "CancelBtn");
        });
        form->SetComBtn->click();
        EXPECT_EQ(shownPort, c.comP - 1);
        MainForm = nullptr;
    }
}

} // namespace
