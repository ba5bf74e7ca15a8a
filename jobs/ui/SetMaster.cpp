#include "SetMaster.h"

#include "DefMaster.h"
#include "DialogSize.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;

namespace {

TNEdit *numberEdit(const char *name, int digits, int maximum, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(digits);
    edit->SetMinValue(1);
    edit->SetMaxValue(maximum);
    edit->setMaxLength(digits);
    edit->setFixedWidth(16 + 9 * digits);
    return edit;
}

void fill(QComboBox *box, const QStringList &items, int index)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(index < box->count() ? index : -1);
}

QStringList refNames(int n)
{
    QStringList names;
    for (int i = 1; i <= n; ++i)
        names << QStringLiteral("参照データ%1").arg(i);
    return names;
}

} // namespace

TSetMasterForm::TSetMasterForm(TSetData &set, masterdef::ItemRef edited, QWidget *parent)
    : QDialog(parent), set_(set), item_(edited), copy_(set)
{
    setObjectName(QStringLiteral("SetMasterForm"));
    setWindowTitle(QStringLiteral("マスター参照設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    const auto combo = [&](const char *name, QWidget *parent) {
        auto *box = named(new TListCombo(parent), name);
        box->setMinimumWidth(130);
        return box;
    };

    MasterCB = combo("MasterCB", this);
    AddMasterBtn = formkit::button("AddMasterBtn", QStringLiteral("ﾏｽﾀｰ追加/変更"), this);
    MstChk = named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀがない場合ｴﾗｰ"), this), "MstChk");
    SetMKeyCheck = named(new QCheckBox(QStringLiteral("部分検索キー設定"), this), "SetMKeyCheck");
    SetMKeyLabel = named(new QLabel(QStringLiteral("入力データ"), this), "SetMKeyLabel");
    MKeyTopNE = numberEdit("MKeyTopNE", 4, 9999, this);
    MKeyLenNE = numberEdit("MKeyLenNE", 2, 99, this);
    keyFromLabel_ = new QLabel(QStringLiteral("桁目から"), this);
    keyLenLabel_ = new QLabel(QStringLiteral("桁"), this);
    caption::link(SetMKeyLabel, MKeyTopNE);
    // The length of the partial key, after its start.
    caption::name(MKeyLenNE, QStringLiteral("部分検索キー桁数"));

    auto *strGroup = named(new QGroupBox(QStringLiteral("表示文字列参照"), this), "DspStrGroup");
    DspStrChk = named(new QCheckBox(QStringLiteral("使用する"), strGroup), "DspStrChk");
    DspStrLabel = named(new QLabel(QStringLiteral("参照データ"), strGroup), "DspStrLabel");
    QD00CB = combo("QD00CB", strGroup);
    caption::link(DspStrLabel, QD00CB);
    auto *strRow = new QHBoxLayout(strGroup);
    strRow->addWidget(DspStrChk);
    strRow->addWidget(DspStrLabel);
    strRow->addWidget(QD00CB);
    strRow->addStretch(1);

    auto *refGroup = named(new QGroupBox(QStringLiteral("データ参照"), this), "DataRefGroup");
    QDCountCB = combo("QDCountCB", refGroup);
    QDCountCB->setMinimumWidth(50);
    DQFPanel = named(new QFrame(refGroup), "DQFPanel");
    auto *rows = new QGridLayout(DQFPanel);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(new QLabel(QStringLiteral("参照データ"), DQFPanel), 0, 0);
    rows->addWidget(new QLabel(QStringLiteral("保存項目"), DQFPanel), 0, 1);
    for (int i = 0; i < MaxQDCount; ++i) {
        QDCB[i] = combo(QStringLiteral("QD%1CB").arg(i + 1, 2, 10, QLatin1Char('0')).toLatin1().constData(),
                        DQFPanel);
        SaveCB[i] = combo(
            QStringLiteral("Save%1CB").arg(i + 1, 2, 10, QLatin1Char('0')).toLatin1().constData(), DQFPanel);
        SaveCB[i]->setMinimumWidth(170);
        // Each row under the column captions "参照データ" and "保存項目".
        caption::name(QDCB[i], QStringLiteral("参照データ%1").arg(i + 1));
        caption::name(SaveCB[i], QStringLiteral("保存項目%1").arg(i + 1));
        rows->addWidget(QDCB[i], i + 1, 0);
        rows->addWidget(SaveCB[i], i + 1, 1);
    }
    auto *refLayout = new QVBoxLayout(refGroup);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(caption::label(QStringLiteral("データ参照項目数"), QDCountCB, refGroup));
    countRow->addWidget(QDCountCB);
    countRow->addStretch(1);
    refLayout->addLayout(countRow);
    refLayout->addWidget(DQFPanel);

    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);

    auto *masterRow = new QHBoxLayout;
    masterRow->addWidget(caption::label(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ"), MasterCB, this));
    masterRow->addWidget(MasterCB);
    masterRow->addWidget(AddMasterBtn);
    masterRow->addStretch(1);
    auto *keyRow = new QHBoxLayout;
    keyRow->addSpacing(20);
    keyRow->addWidget(SetMKeyLabel);
    keyRow->addWidget(MKeyTopNE);
    keyRow->addWidget(keyFromLabel_);
    keyRow->addWidget(MKeyLenNE);
    keyRow->addWidget(keyLenLabel_);
    keyRow->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(masterRow);
    layout->addWidget(MstChk);
    layout->addWidget(SetMKeyCheck);
    layout->addLayout(keyRow);
    layout->addWidget(strGroup);
    layout->addWidget(refGroup);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    SetFlag = true;
    connect(MstChk, &QCheckBox::clicked, this, &TSetMasterForm::DataChange);
    connect(QD00CB, &QComboBox::activated, this, &TSetMasterForm::DataChange);
    for (int i = 0; i < MaxQDCount; ++i) {
        connect(QDCB[i], &QComboBox::activated, this, &TSetMasterForm::DataChange);
        connect(SaveCB[i], &QComboBox::activated, this, &TSetMasterForm::DataChange);
    }
    connect(DspStrChk, &QCheckBox::clicked, this, &TSetMasterForm::DspStrChkClick);
    connect(QDCountCB, &QComboBox::activated, this, &TSetMasterForm::QDCountCBChange);
    connect(MasterCB, &QComboBox::activated, this, &TSetMasterForm::MasterCBChange);
    connect(MKeyTopNE, &QLineEdit::textEdited, this, &TSetMasterForm::MKeyTopNEChange);
    connect(MKeyLenNE, &QLineEdit::textEdited, this, &TSetMasterForm::MKeyLenNEChange);
    connect(MKeyTopNE, &TNEdit::KeyPress, this, &TSetMasterForm::MKeyTopNEKeyPress);
    connect(SetMKeyCheck, &QCheckBox::clicked, this, &TSetMasterForm::SetMKeyCheckClick);
    connect(AddMasterBtn, &QPushButton::clicked, this, &TSetMasterForm::AddMasterBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &TSetMasterForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::close);

    // FormCreate: the receiving items are this item and the later ones of its list.
    const TGyData &job = set_.GyData[std::clamp(item_.job, 0, MaxGyCount - 1)];
    const int count = BoundedCount(item_.group ? job.GrCount : job.DaCount, MaxKoCount);
    for (int k = std::max(0, item_.index); k < count; ++k)
        receivers_ << (item_.group ? job.GrKoDa : job.DaKoDa)[k].KName;
    KMFKeySet0 = item().KMFKeySet;
    showView(masterdef::GetMstDat(item(), item_.index, count, copy_));
    // Room for five copies from the start.
    keepLargestSize(*this, 1, [this](int) { DspSaveField(MaxQDCount); });
    DspSaveField(QDCountCB->currentIndex());
    SetFlag = false;
    ChangeFlag = false;
    EndBtn->setEnabled(false);
}

TKoData &TSetMasterForm::item()
{
    TGyData &job = set_.GyData[std::clamp(item_.job, 0, MaxGyCount - 1)];
    return (item_.group ? job.GrKoDa : job.DaKoDa)[std::clamp(item_.index, 0, MaxKoCount - 1)];
}

void TSetMasterForm::enableKey(bool on)
{
    SetMKeyLabel->setEnabled(on);
    MKeyTopNE->setEnabled(on);
    MKeyLenNE->setEnabled(on);
    keyFromLabel_->setEnabled(on);
    keyLenLabel_->setEnabled(on);
}

void TSetMasterForm::showView(const masterdef::MasterRefView &v)
{
    const formkit::LoadingGuard loading(SetFlag);
    SetMKeyCheck->setChecked(v.SetMKeyCheck);
    enableKey(v.SetMKeyCheck);
    MKeyTopNE->setText(v.MKeyTopNE);
    MKeyLenNE->setText(v.MKeyLenNE);
    QStringList masters;
    for (int i = 0; i < copy_.MstNum0(); ++i)
        masters << copy_.MstDat0()[i].MFName;
    fill(MasterCB, masters, v.Sel);
    const int n = v.Sel >= 0 ? masterdef::RefFieldCount(copy_.MstDat0()[v.Sel]) : 0;
    const QStringList names = refNames(n);
    MstChk->setChecked(v.MstChk);
    DspStrChk->setChecked(v.DspStrChk);
    DspStrLabel->setEnabled(v.DspStrChk);
    QD00CB->setEnabled(v.DspStrChk);
    fill(QD00CB, names, v.QD00CB);
    QStringList counts;
    for (int i = 0; i <= n; ++i)
        counts << QString::number(i);
    fill(QDCountCB, counts, v.QDCountCB);
    for (int i = 0; i < MaxQDCount; ++i) {
        fill(QDCB[i], names, v.QDCB[i]);
        fill(SaveCB[i], receivers_, v.SaveCB[i]);
    }
    DspSaveField(QDCountCB->currentIndex());
}

masterdef::MasterRefView TSetMasterForm::shown() const
{
    masterdef::MasterRefView v;
    v.SetMKeyCheck = SetMKeyCheck->isChecked();
    v.MKeyTopNE = MKeyTopNE->text();
    v.MKeyLenNE = MKeyLenNE->text();
    v.Sel = MasterCB->currentIndex();
    v.MstChk = MstChk->isChecked();
    v.DspStrChk = DspStrChk->isChecked();
    v.QD00CB = QD00CB->currentIndex();
    v.QDCountCB = QDCountCB->currentIndex();
    for (int i = 0; i < MaxQDCount; ++i) {
        v.QDCB[i] = QDCB[i]->currentIndex();
        v.SaveCB[i] = SaveCB[i]->currentIndex();
    }
    return v;
}

void TSetMasterForm::DspSaveField(int n)
{
    DQFPanel->setVisible(n > 0);
    for (int i = 0; i < MaxQDCount; ++i) {
        QDCB[i]->setVisible(i < n);
        SaveCB[i]->setVisible(i < n);
    }
}

void TSetMasterForm::changed()
{
    ChangeFlag = true;
    EndBtn->setEnabled(true);
}

void TSetMasterForm::DataChange()
{
    if (!SetFlag)
        changed();
}

void TSetMasterForm::DspStrChkClick()
{
    if (SetFlag)
        return;
    QD00CB->setEnabled(DspStrChk->isChecked());
    DspStrLabel->setEnabled(DspStrChk->isChecked());
    changed();
}

void TSetMasterForm::QDCountCBChange()
{
    if (SetFlag)
        return;
    DspSaveField(QDCountCB->currentIndex());
    changed();
}

void TSetMasterForm::MasterCBChange()
{
    if (SetFlag)
        return;
    masterdef::MasterRefView v = shown();
    masterdef::FitToMaster(v, copy_);
    showView(v);
    changed();
}

void TSetMasterForm::MKeyTopNEChange()
{
    if (!SetFlag)
        changed();
}

void TSetMasterForm::MKeyLenNEChange()
{
    if (!SetFlag)
        changed();
}

void TSetMasterForm::SetMKeyCheckClick()
{
    if (SetFlag)
        return;
    enableKey(SetMKeyCheck->isChecked());
    if (SetMKeyCheck->isChecked() != KMFKeySet0)
        changed();
}

void TSetMasterForm::MKeyTopNEKeyPress(QChar &key)
{
    if (!key.isDigit())
        return;
    ChangeFlag = true;
    if (!masterdef::MKeyTopAccepts(MKeyTopNE->text(), key))
        key = QChar();
}

void TSetMasterForm::AddMasterBtnClick()
{
    TDefMasterForm form(copy_, set_, item_, this);
    platform::ui().showModal(form);
    masterdef::MasterRefView v = shown();
    for (int deleted : form.Deleted)
        v.Sel = masterdef::FollowSelection(v.Sel, deleted);
    masterdef::FitToMaster(v, copy_);
    showView(v);
    // The definitions live in the copy until "確定": the set itself has not changed yet.
    if (form.Stored)
        changed();
}

void TSetMasterForm::EndBtnClick()
{
    const masterdef::MasterRefView v = shown();
    if (const auto fault = masterdef::CheckMasterRef(v)) {
        formkit::showInputError(fault->message);
        formkit::requestFocus(findChild<QWidget *>(fault->control));
        return;
    }
    copy_.applyTo(set_);
    masterdef::PutMstDat(v, item(), item_.index);
    masterdef::CountMasterUses(set_);
    SetChanged = true;
    ChangeFlag = false;
    accept();
}

void TSetMasterForm::reject()
{
    if (ChangeFlag && !formkit::askYes(QStringLiteral("変更したデータを破棄してもいいですか？"),
                                       QStringLiteral("マスター参照設定")))
        return;
    QDialog::reject();
}
