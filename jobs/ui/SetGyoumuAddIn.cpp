#include "SetGyoumu.h"

#include "common/FerPrgLib.h"
#include "common/ui/FormKit.h"
#include "jobs/AddInHandOff.h"

#include <QFileInfo>
#include <QLineEdit>

namespace {

platform::MsgStyle warningStyle()
{
    platform::MsgStyle style = formkit::inputErrorStyle();
    return style;
}

platform::MsgStyle errorStyle()
{
    platform::MsgStyle style = formkit::stopStyle();
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

} // namespace

void TSetGyForm::AddInSetBtnClick()
{
    const QString name = PNameSE->text();
    const QString addInCaption = QStringLiteral("アドインプログラム");
    const QString setCaption = QStringLiteral("アドインプログラム設定");
    switch (jobs::CheckAddInName(name)) {
    case jobs::AddInNameCheck::Empty:
        platform::ui().messageBox(QStringLiteral("プログラム名を入力してください。"), addInCaption,
                                  warningStyle());
        formkit::requestFocus(PNameSE);
        return;
    case jobs::AddInNameCheck::Malformed:
        platform::ui().messageBox(QStringLiteral("プログラム名を再入力してください。"), addInCaption,
                                  warningStyle());
        formkit::requestFocus(PNameSE);
        return;
    case jobs::AddInNameCheck::Ok:
        break;
    }
    const QString path = GetAddInSetPrg(AppPath, jobs::UpperAddInName(name));
    if (path.isEmpty()) {
        platform::ui().messageBox(QStringLiteral("設定プログラムはありません。"), setCaption, warningStyle());
        return;
    }
    if (!QFileInfo(path).isFile()) {
        platform::ui().messageBox(QStringLiteral("設定プログラムを実行できません。"), setCaption,
                                  errorStyle());
        return;
    }
    // Disabled, and deaf to close requests, until the settings program has ended. The name checks
    // come first: a disabled window cannot take the focus they send to the name.
    const formkit::WindowLock lock(this);
    const int jobNo = BoundedCount(set_->TmpGyNo, MaxGyCount - 1);
    TGyData &job = set_->GyData[std::size_t(jobNo)];
    // A key that cannot be written would leave an earlier answer in it: start nothing, read nothing.
    if (!jobs::WriteAddInHandOff(GNameSE->text(), job.AddInCount, job.AddInData))
        return;
    if (!jobs::RunSettingsProgram(path))
        return;
    if (const auto blocks = jobs::EditorAnswer(jobs::ReadAddInAnswer())) {
        job.AddInCount = blocks->AddInCount;
        job.AddInData = blocks->AddInData;
        ChangeFlag = true;
    }
}
