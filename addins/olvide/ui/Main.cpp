#include "Main.h"

#include "addins/frame/HandOffClient.h"
#include "addins/frame/ui/ByteEdit.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace olvide {

using addins::Symbology;

namespace {

QComboBox *list(const char *name, const QStringList &items, QWidget *parent)
{
    auto *combo = formkit::named(new QComboBox(parent), name);
    // The lists take typed text; a text that is no item leaves none chosen.
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    return combo;
}

int chosen(const QComboBox *combo)
{
    return combo->findText(combo->currentText(), Qt::MatchExactly);
}

void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    combo->setEditText(combo->itemText(index));
}

TNEdit *numberEdit(const char *name, int max, QWidget *parent)
{
    auto *edit = formkit::named(new TNEdit(parent), name);
    edit->SetMaxDegits(2);
    edit->SetMinValue(0);
    edit->SetMaxValue(max);
    edit->setFixedWidth(48);
    return edit;
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : TAddInMainForm({QStringLiteral("検査条件")}, QStringLiteral("確定"), parent)
{
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    auto *grid = new QGridLayout;
    pageLayout->addLayout(grid);

    AICB = list("AICB",
                {QStringLiteral("１１"), QStringLiteral("１２"), QStringLiteral("１３"),
                 QStringLiteral("１４"), QStringLiteral("１５"), QStringLiteral("１６"),
                 QStringLiteral("１７"), QStringLiteral("１８"), QStringLiteral("１９")},
                page);
    grid->addWidget(caption::label(QStringLiteral("アプリケーション識別子"), AICB, page), 0, 0);
    grid->addWidget(AICB, 0, 1);

    CmpDateCB = list("CmpDateCB", {QStringLiteral("システム日付"), QStringLiteral("日付設定")}, page);
    grid->addWidget(caption::label(QStringLiteral("検査日付"), CmpDateCB, page), 1, 0);
    grid->addWidget(CmpDateCB, 1, 1);

    SetDatePanel = formkit::named(new QFrame(page), "SetDatePanel");
    auto *dateRow = new QHBoxLayout(SetDatePanel);
    dateRow->setContentsMargins(0, 0, 0, 0);
    CmpYearSE = formkit::named(new TByteEdit(SetDatePanel), "CmpYearSE");
    CmpYearSE->setMaxBytes(2);
    CmpYearSE->setKeyFilter(addins::DigitKey);
    CmpYearSE->setFixedWidth(48);
    CmpMonthNE = numberEdit("CmpMonthNE", 12, SetDatePanel);
    CmpDayNE = numberEdit("CmpDayNE", 31, SetDatePanel);
    const auto caption = [&](const QString &text) {
        auto *label = new QLabel(text, SetDatePanel);
        panelLabels_ << label;
        return label;
    };
    QLabel *setDate = caption(QStringLiteral("設定日付"));
    caption::link(setDate, CmpYearSE);
    // Read aloud, the month and the day are the set date's, told apart by the unit after each.
    caption::name(CmpMonthNE, setDate->text() + QStringLiteral(" 月"));
    caption::name(CmpDayNE, setDate->text() + QStringLiteral(" 日"));
    dateRow->addWidget(setDate);
    dateRow->addWidget(CmpYearSE);
    dateRow->addWidget(caption(QStringLiteral("年")));
    dateRow->addWidget(CmpMonthNE);
    dateRow->addWidget(caption(QStringLiteral("月")));
    dateRow->addWidget(CmpDayNE);
    dateRow->addWidget(caption(QStringLiteral("日")));
    dateRow->addStretch();
    grid->addWidget(SetDatePanel, 2, 1);

    CmpModeCB = list("CmpModeCB",
                     {QStringLiteral("読取日付 ＜ 検査日付"), QStringLiteral("読取日付 ＜＝ 検査日付"),
                      QStringLiteral("読取日付 ＝ 検査日付"), QStringLiteral("読取日付 ＞＝ 検査日付"),
                      QStringLiteral("読取日付 ＞ 検査日付")},
                     page);
    grid->addWidget(caption::label(QStringLiteral("検査方法"), CmpModeCB, page), 3, 0);
    grid->addWidget(CmpModeCB, 3, 1);

    auto *bars = new QGroupBox(QStringLiteral("読取バーコード"), page);
    auto *barGrid = new QGridLayout(bars);
    const auto box = [&](Symbology s, int row, int column) {
        const addins::SymbologyInfo &info = addins::InfoOf(s);
        auto *check = formkit::named(new QCheckBox(info.caption, bars), info.boxName);
        barGrid->addWidget(check, row, column);
        return check;
    };
    RssChk = box(Symbology::Rss, 0, 0);
    Code128Chk = box(Symbology::Code128, 0, 1);
    QrChk = box(Symbology::Qr, 1, 0);
    iQrChk = box(Symbology::IQr, 1, 1);
    PDF417Chk = box(Symbology::Pdf417, 2, 0);
    DataMatrixChk = box(Symbology::DataMatrix, 2, 1);
    MaxiCodeChk = box(Symbology::MaxiCode, 3, 0);
    CompositeChk = box(Symbology::Composite, 3, 1);
    UserBarChk = box(Symbology::User, 4, 0);
    UserBarSE = formkit::named(new TByteEdit(bars), "UserBarSE");
    UserBarSE->setMaxBytes(32);
    UserBarSE->setKeyFilter(addins::UserBarKey);
    caption::name(UserBarSE, UserBarChk->text());
    barGrid->addWidget(UserBarSE, 4, 1);
    pageLayout->addWidget(bars);
    pageLayout->addStretch();
    addPage(page);
    resize(560, 400);

    for (QComboBox *combo : {AICB, CmpModeCB}) {
        connect(combo, &QComboBox::activated, this, &TMainForm::MarkChange);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    }
    connect(CmpDateCB, &QComboBox::activated, this, &TMainForm::CmpDateCBChange);
    connect(CmpDateCB->lineEdit(), &QLineEdit::textEdited, this, &TMainForm::CmpDateCBChange);
    connect(CmpYearSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(CmpMonthNE, &QLineEdit::textEdited, this, &TMainForm::CmpMonthNEChange);
    connect(CmpDayNE, &QLineEdit::textEdited, this, &TMainForm::CmpDayNEChange);
    for (QCheckBox *check :
         {RssChk, Code128Chk, QrChk, iQrChk, PDF417Chk, DataMatrixChk, MaxiCodeChk, CompositeChk})
        connect(check, &QCheckBox::clicked, this, &TMainForm::MarkChange);
    connect(UserBarSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(UserBarChk, &QCheckBox::clicked, this, &TMainForm::UserBarChkClick);
}

QCheckBox *TMainForm::boxOf(Symbology s) const
{
    switch (s) {
    case Symbology::Rss:
        return RssChk;
    case Symbology::Code128:
        return Code128Chk;
    case Symbology::Qr:
        return QrChk;
    case Symbology::IQr:
        return iQrChk;
    case Symbology::Pdf417:
        return PDF417Chk;
    case Symbology::DataMatrix:
        return DataMatrixChk;
    case Symbology::MaxiCode:
        return MaxiCodeChk;
    case Symbology::Composite:
        return CompositeChk;
    case Symbology::User:
        return UserBarChk;
    default:
        return nullptr;
    }
}

bool TMainForm::LoadPara()
{
    Para.clear();
    const addins::HandOffRequest request = addins::ReadHandOff({1, 0, {}});
    GyName = request.GyName.value_or(QString());
    QString caption =
        request.GyName ? *request.GyName + QStringLiteral(" 設定") : QStringLiteral("日付検査プログラム設定");
    BhtType = request.BhtType;
    SetCount = BhtType != 0 ? request.SetCount : 0;
    if (SetCount == 1)
        Para = request.Para0;
    if (!ModelSupported(BhtType))
        return false;
    setWindowTitle(caption + QStringLiteral(" (BHT-%1)").arg(BhtType));
    const addins::SymbologyShown shown = ShownOnModel(BhtType);
    for (const addins::SymbologyInfo &info : addins::SymbologyTable())
        if (QCheckBox *check = boxOf(info.symbology))
            check->setVisible(shown(info.symbology));
    showSettings(SetCount == 1 ? ReadPara(Para) : DefaultSettings());
    return true;
}

void TMainForm::showSettings(const OlvideSettings &s)
{
    formkit::LoadingGuard loading(SetFlag);
    choose(AICB, s.AiIndex);
    choose(CmpDateCB, s.CmpDate);
    setPanelState(s.CmpDate == 1);
    CmpYearSE->setBoundedText(s.Year);
    CmpMonthNE->setText(s.Month);
    CmpDayNE->setText(s.Day);
    choose(CmpModeCB, s.CmpMode);
    for (const addins::SymbologyInfo &info : addins::SymbologyTable())
        if (QCheckBox *check = boxOf(info.symbology))
            check->setChecked(s.Symbologies.isTicked(info.symbology));
    UserBarSE->setBoundedText(s.UserBar);
    setUserBarState(s.Symbologies.isTicked(Symbology::User));
}

OlvideSettings TMainForm::settings() const
{
    OlvideSettings s;
    s.AiIndex = chosen(AICB);
    s.CmpDate = chosen(CmpDateCB);
    s.Year = CmpYearSE->text();
    s.Month = CmpMonthNE->text();
    s.Day = CmpDayNE->text();
    s.CmpMode = chosen(CmpModeCB);
    for (const addins::SymbologyInfo &info : addins::SymbologyTable())
        if (QCheckBox *check = boxOf(info.symbology))
            s.Symbologies.tick(info.symbology, check->isChecked());
    s.UserBar = UserBarSE->text();
    return s;
}

void TMainForm::setPanelState(bool setDate)
{
    SetDatePanel->setEnabled(setDate);
    for (QLabel *label : panelLabels_) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, setDate ? QColor(Qt::black) : QColor(128, 128, 128));
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(128, 128, 128));
        label->setPalette(palette);
    }
}

void TMainForm::setUserBarState(bool user)
{
    UserBarSE->setEnabled(user);
    for (QCheckBox *check :
         {RssChk, Code128Chk, QrChk, iQrChk, PDF417Chk, DataMatrixChk, MaxiCodeChk, CompositeChk})
        check->setEnabled(!user);
}

QWidget *TMainForm::control(Field field) const
{
    switch (field) {
    case Field::AICB:
        return AICB;
    case Field::CmpDateCB:
        return CmpDateCB;
    case Field::CmpYearSE:
        return CmpYearSE;
    case Field::CmpMonthNE:
        return CmpMonthNE;
    case Field::CmpDayNE:
        return CmpDayNE;
    case Field::CmpModeCB:
        return CmpModeCB;
    case Field::Code128Chk:
        return Code128Chk;
    case Field::UserBarSE:
        return UserBarSE;
    }
    return nullptr;
}

bool TMainForm::CheckData()
{
    const std::optional<CheckError> error = olvide::CheckData(settings(), BhtType);
    if (!error)
        return true;
    ShowCheckError(0, control(error->field), error->message);
    return false;
}

bool TMainForm::SavePara()
{
    Para = WritePara(settings(), BhtType);
    SetCount = 1;
    QString reason;
    if (addins::WriteHandOffAnswer({Para, std::nullopt}, &reason))
        return true;
    // The operator's confirm must not vanish: the form stays open and can be confirmed again.
    platform::ui().messageBox(QStringLiteral("設定データを業務設定に戻せませんでした。\r\n") + reason,
                              windowTitle(), formkit::stopStyle());
    return false;
}

void TMainForm::MarkChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
}

void TMainForm::CmpDateCBChange()
{
    if (SetFlag)
        return;
    setPanelState(chosen(CmpDateCB) == 1);
    ChangeFlag = true;
}

void TMainForm::CmpMonthNEChange()
{
    if (SetFlag)
        return;
    const QString text = CmpMonthNE->text();
    if (!text.isEmpty()) {
        const int value = text.toInt();
        if (value > 12)
            CmpMonthNE->setText(QStringLiteral("12"));
        else if (value <= 0)
            CmpMonthNE->setText(QStringLiteral("1"));
    }
    ChangeFlag = true;
}

void TMainForm::CmpDayNEChange()
{
    if (SetFlag)
        return;
    const QString text = CmpDayNE->text();
    if (!text.isEmpty()) {
        const int value = text.toInt();
        if (value >= 32)
            CmpDayNE->setText(QStringLiteral("31"));
        else if (value < 0)
            CmpDayNE->setText(QStringLiteral("0"));
    }
    ChangeFlag = true;
}

void TMainForm::UserBarChkClick()
{
    if (SetFlag)
        return;
    setUserBarState(UserBarChk->isChecked());
    ChangeFlag = true;
}

} // namespace olvide
