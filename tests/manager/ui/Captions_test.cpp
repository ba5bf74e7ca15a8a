#include "ManagerTestSupport.h"
#include "comm/ui/CorlissL.h"
#include "manager/ui/Main.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

// A screen reader finds every field of the forms the main menu opens by its caption, as the
// manager opens them (settings read, lists filled).

TEST(CaptionsTest, TheFormsOfTheMainMenuAreFoundByTheirCaptions)
{
    managertest::storeModeSettings(false);
    ASSERT_TRUE(YmInitialize());
    testsupport::RecordingUi ui;
    auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    const struct {
        const char *button;
        const char *form;
        // A button of that form that opens another form, and that form.
        const char *nestedButton;
        const char *nestedForm;
    } opened[] = {
        {"GyoumuBtn", "SetGyForm", nullptr, nullptr},
        {"MasterBtn", "MasterForm", nullptr, nullptr},
        {"SetComBtn", "SetComForm", "SetModeBtn", "SetComModeForm"},
    };
    for (const auto &o : opened) {
        SCOPED_TRACE(o.button);
        ui.clear();
        QStringList shown;
        const auto inspect = [&shown](QDialog &dialog) {
            shown << dialog.objectName();
            const QStringList missing = testsupport::uncaptionedControls(dialog);
            EXPECT_TRUE(missing.isEmpty()) << dialog.objectName().toStdString() << ": "
                                           << missing.join(QStringLiteral(", ")).toStdString();
        };
        ui.queueForm([&](QDialog &dialog) {
            inspect(dialog);
            if (o.nestedButton) {
                ui.queueForm([&](QDialog &nested) {
                    inspect(nested);
                    nested.done(QDialog::Rejected);
                });
                dialog.findChild<QPushButton *>(QString::fromLatin1(o.nestedButton))->click();
            }
            dialog.done(QDialog::Rejected);
        });
        form->findChild<QPushButton *>(QString::fromLatin1(o.button))->click();
        QStringList expected{QString::fromLatin1(o.form)};
        if (o.nestedForm)
            expected << QString::fromLatin1(o.nestedForm);
        EXPECT_EQ(shown, expected);
    }
    MainForm = nullptr;
}
