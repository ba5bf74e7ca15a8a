#include "comm/ui/ComForm.h"
#include "comm/ui/SetComMode.h"
#include "comm/ui/SetComPara.h"
#include "comm/ui/SetFolder.h"

#include "tests/comm/FakeClock.h"
#include "tests/comm/FakeSerialPort.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A screen reader finds every field of the communication settings by the caption the operator
// reads beside it, and the progress window's bar by what its label shows.

namespace {

struct Caption {
    const char *control;
    const char *caption;
};

} // namespace

TEST(CaptionsTest, EveryFieldOfTheCommunicationFormsIsFoundByItsCaption)
{
    testsupport::RecordingUi ui;
    comm::ComConditions conditions;
    TSetComForm para(conditions);
    TSetComModeForm mode;
    TSetFolderForm folder;
    commtest::FakeClock clock;
    commtest::FakeSerialPort port(clock);
    TComForm progress(port, "COM1");
    // The folder dialog's title says which folder it picks; the tree is read by it.
    const std::string folderTitle = folder.windowTitle().toStdString();
    ASSERT_FALSE(folderTitle.empty());
    const struct {
        QDialog *form;
        std::vector<Caption> samples;
    } forms[] = {
        {&para,
         {{"ComPortCB", "通信ポート"}, {"ComSpeedCB", "通信スピード"}, {"WrModeCB", "受信データ書き込み"}}},
        {&mode,
         {{"LogFileFolder", "保存フォルダ"},
          {"LogFileCombo", "保存ファイル名"},
          {"RxFolder", "受信デフォルトフォルダ"},
          {"TxFolder", "送信デフォルトフォルダ"}}},
        {&folder, {{"FolderTree", folderTitle.c_str()}}},
        {&progress, {{"Gauge1", "受信待ち"}}},
    };
    for (const auto &entry : forms) {
        SCOPED_TRACE(entry.form->objectName().toStdString());
        EXPECT_EQ(testsupport::uncaptionedControls(*entry.form).join(QStringLiteral(", ")).toStdString(), "");
        for (const Caption &sample : entry.samples) {
            auto *control = entry.form->findChild<QWidget *>(QString::fromLatin1(sample.control));
            ASSERT_NE(control, nullptr) << sample.control;
            EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption)
                << sample.control;
        }
    }
    // The bar is read by the step or file its label shows at the time.
    progress.findChild<QLabel *>(QStringLiteral("LabelFName"))->setText(QStringLiteral("PHOTO.BMP"));
    EXPECT_EQ(testsupport::accessibleCaption(progress.findChild<QWidget *>(QStringLiteral("Gauge1"))),
              QStringLiteral("PHOTO.BMP"));
}
