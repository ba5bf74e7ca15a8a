#include "SetBarCodeBase.h"

#include "ByteEdit.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

using addins::Symbology;

TSymbologyBoxes::TSymbologyBoxes(QWidget *parent)
    : QGroupBox(QStringLiteral("読取バーコード"), parent), written_([](Symbology) { return true; })
{
    auto *grid = new QGridLayout(this);
    int row = 0;
    for (const addins::SymbologyInfo &info : addins::SymbologyTable()) {
        const std::size_t i = std::size_t(info.symbology);
        boxes_[i] = formkit::named(new QCheckBox(info.caption, this), info.boxName);
        grid->addWidget(boxes_[i], row, 0);
        connect(boxes_[i], &QCheckBox::clicked, this, &TSymbologyBoxes::BoxClick);
        if (info.checkDigitLetter != 0) {
            groups_[i] =
                formkit::named(new QGroupBox(QStringLiteral("ﾁｪｯｸﾃﾞｼﾞｯﾄ"), this), info.checkDigitGroupName);
            auto *g = new QHBoxLayout(groups_[i]);
            without_[i] = new QRadioButton(QStringLiteral("なし"), groups_[i]);
            with_[i] = new QRadioButton(QStringLiteral("あり"), groups_[i]);
            without_[i]->setChecked(true);
            g->addWidget(without_[i]);
            g->addWidget(with_[i]);
            grid->addWidget(groups_[i], row, 1);
            connect(with_[i], &QRadioButton::clicked, this, &TSymbologyBoxes::Changed);
            connect(without_[i], &QRadioButton::clicked, this, &TSymbologyBoxes::Changed);
        }
        if (info.symbology == Symbology::User) {
            UserBarSE = formkit::named(new TByteEdit(this), "UserBarSE");
            UserBarSE->setMaxBytes(32);
            UserBarSE->setKeyFilter(addins::UserBarKey);
            // The box beside it is its caption: the edit holds the user-defined symbology.
            caption::name(UserBarSE, info.caption);
            grid->addWidget(UserBarSE, row, 1);
            connect(UserBarSE, &QLineEdit::textEdited, this, &TSymbologyBoxes::Changed);
        }
        ++row;
    }
    applyEnabling();
}

void TSymbologyBoxes::setShown(const addins::SymbologyShown &shown)
{
    setShown(shown, shown);
}

void TSymbologyBoxes::setShown(const addins::SymbologyShown &shown, const addins::SymbologyShown &written)
{
    written_ = written;
    for (const addins::SymbologyInfo &info : addins::SymbologyTable()) {
        const std::size_t i = std::size_t(info.symbology);
        boxes_[i]->setVisible(shown(info.symbology));
        if (groups_[i])
            groups_[i]->setVisible(shown(info.symbology));
    }
}

void TSymbologyBoxes::GetBar(const QString &barType, const QString &userBar)
{
    const addins::SymbologyChoice choice = addins::ChoiceFromBarType(barType);
    for (const addins::SymbologyInfo &info : addins::SymbologyTable()) {
        const std::size_t i = std::size_t(info.symbology);
        boxes_[i]->setChecked(choice.isTicked(info.symbology));
        if (groups_[i]) {
            with_[i]->setChecked(choice.hasCheckDigit(info.symbology));
            without_[i]->setChecked(!choice.hasCheckDigit(info.symbology));
        }
    }
    UserBarSE->setBoundedText(userBar);
    applyEnabling();
}

QString TSymbologyBoxes::SChkSetBar() const
{
    addins::SymbologyChoice choice;
    for (const addins::SymbologyInfo &info : addins::SymbologyTable()) {
        const std::size_t i = std::size_t(info.symbology);
        choice.tick(info.symbology, boxes_[i]->isChecked());
        if (groups_[i])
            choice.setCheckDigit(info.symbology, with_[i]->isChecked());
    }
    return addins::SChkSetBar(choice, written_);
}

QString TSymbologyBoxes::userBar() const
{
    return UserBarSE->text();
}

void TSymbologyBoxes::BoxClick()
{
    applyEnabling();
    emit Changed();
}

void TSymbologyBoxes::applyEnabling()
{
    const bool user = boxes_[std::size_t(Symbology::User)]->isChecked();
    UserBarSE->setEnabled(user);
    for (const addins::SymbologyInfo &info : addins::SymbologyTable()) {
        const std::size_t i = std::size_t(info.symbology);
        if (info.symbology == Symbology::User)
            continue;
        boxes_[i]->setEnabled(!user);
        if (groups_[i])
            groups_[i]->setEnabled(!user && boxes_[i]->isChecked());
    }
}

TSetBarCodeBase::TSetBarCodeBase(bool &mainChangeFlag, QWidget *parent)
    : QDialog(parent), mainChangeFlag_(mainChangeFlag)
{
    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    EndBtn->setEnabled(false);
    connect(EndBtn, &QPushButton::clicked, this, &TSetBarCodeBase::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetBarCodeBase::CancelBtnClick);
}

void TSetBarCodeBase::markChanged()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    EndBtn->setEnabled(true);
}

void TSetBarCodeBase::ShowBarError(QWidget *control, const QString &message)
{
    formkit::requestFocus(control);
    formkit::showInputError(message);
}

void TSetBarCodeBase::EndBtnClick()
{
    if (!CheckBar())
        return;
    SetBar();
    if (ChangeFlag)
        mainChangeFlag_ = true;
    accept();
}

void TSetBarCodeBase::CancelBtnClick()
{
    reject();
}
