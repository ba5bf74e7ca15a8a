#include "MasterFld.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "masters/MasterFldRules.h"
#include "platform/UiService.h"
#include "platform/ui/TitleRoom.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>

using formkit::named;

namespace {

const char *const FieldEditNames[] = {"Fld1NE", "Fld2NE", "Fld3NE", "Fld4NE", "Fld5NE"};
const char *const FieldLabelNames[] = {"Fld1LB", "Fld2LB", "Fld3LB", "Fld4LB", "Fld5LB"};
const char16_t *const FieldLabels[] = {u"参照データ１桁数", u"参照データ２桁数", u"参照データ３桁数",
                                       u"参照データ４桁数", u"参照データ５桁数"};
const char16_t *const Unit = u"桁";

TNEdit *widthEdit(const char *name, int digits, int maximum, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(digits);
    edit->SetMinValue(0);
    edit->SetMaxValue(maximum);
    edit->setMaxLength(digits);
    edit->setFixedWidth(16 + 9 * digits);
    return edit;
}

bool holdsWidth(const TNEdit *edit)
{
    return !edit->text().isEmpty() && edit->text() != QLatin1String("0");
}

} // namespace

TMasterFldForm::TMasterFldForm(const std::vector<int> &widths, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MasterFldForm"));
    setWindowTitle(masters::FieldDialogCaption);

    // Each width reads as a sentence, caption, edit, unit: "検索キー桁数 [13] 桁".
    auto *grid = new QGridLayout;
    const auto row = [this, grid](QLabel *label, QWidget *edit, int at, bool unit) -> QLabel * {
        caption::link(label, edit);
        grid->addWidget(label, at, 0);
        grid->addWidget(edit, at, 1, Qt::AlignLeft);
        if (!unit)
            return nullptr;
        auto *after = new QLabel(QString::fromUtf16(Unit), this);
        grid->addWidget(after, at, 2);
        return after;
    };
    KeyFldNE = widthEdit("KeyFldNE", 2, masters::MaxKeyWidth, this);
    KeyFldUnit = row(new QLabel(QStringLiteral("検索キー桁数"), this), KeyFldNE, 0, true);
    FldCntCB = named(new TListCombo(this), "FldCntCB");
    FldCntCB->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                        QStringLiteral("5")});
    row(new QLabel(QStringLiteral("参照データ数"), this), FldCntCB, 1, false);
    for (int i = 0; i < masters::MaxReferences; ++i) {
        FldLB[i] = named(new QLabel(QString::fromUtf16(FieldLabels[i]), this), FieldLabelNames[i]);
        FldNE[i] = widthEdit(FieldEditNames[i], 4, masters::MaxReferenceWidth, this);
        FldUnit[i] = row(FldLB[i], FldNE[i], 2 + i, true);
        // A hidden row keeps its place, so the dialog neither grows nor moves its buttons when the
        // count changes.
        for (QWidget *w : std::initializer_list<QWidget *>{FldLB[i], FldNE[i], FldUnit[i]})
            formkit::keepPlaceWhenHidden(w);
    }
    grid->setColumnStretch(3, 1);
    EndBtn = formkit::button("EndBtn", QStringLiteral("確定"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    // The controls alone would leave the caption bar too narrow for the title.
    platform::keepTitleWhole(*this);

    KeyFldNE->installEventFilter(this);
    FldCntCB->installEventFilter(this);
    for (TNEdit *edit : FldNE)
        edit->installEventFilter(this);
    connect(FldCntCB, &QComboBox::activated, this, &TMasterFldForm::FldCntCBClick);
    connect(EndBtn, &QPushButton::clicked, this, &TMasterFldForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TMasterFldForm::CancelBtnClick);

    FormCreate(widths);
}

void TMasterFldForm::FormCreate(const std::vector<int> &widths)
{
    const masters::FieldDialogInput shown = masters::fieldDialogInput(widths);
    KeyFldNE->setText(shown.key);
    for (int i = 0; i < masters::MaxReferences; ++i)
        FldNE[i]->setText(shown.references[i]);
    FldCntCB->setCurrentIndex(widths.size() < 3 ? 0 : shown.referenceCount - 1);
    FldCntCBClick();
}

void TMasterFldForm::FldCntCBClick()
{
    const int k = std::max(FldCntCB->currentIndex(), 0);
    for (int i = 1; i < masters::MaxReferences; ++i) {
        for (QWidget *w : std::initializer_list<QWidget *>{FldLB[i], FldNE[i], FldUnit[i]})
            w->setVisible(k >= i);
    }
}

void TMasterFldForm::moveOn(QWidget *from)
{
    const int k = std::max(FldCntCB->currentIndex(), 0);
    if (from == KeyFldNE) {
        FldCntCB->setFocus();
        return;
    }
    if (from == FldCntCB) {
        FldNE[0]->setFocus();
        return;
    }
    for (int i = 0; i < masters::MaxReferences; ++i) {
        if (from != FldNE[i])
            continue;
        if (i < k)
            FldNE[i + 1]->setFocus();
        else
            EndBtn->setFocus();
        return;
    }
}

bool TMasterFldForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == FldCntCB) {
            // The count is chosen from the list; Enter or a typed key goes on to the first width.
            const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint();
            if (enter || typed) {
                moveOn(FldCntCB);
                return true;
            }
        } else if (enter) {
            if (auto *edit = qobject_cast<TNEdit *>(watched); edit != nullptr && holdsWidth(edit))
                moveOn(edit);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMasterFldForm::EndBtnClick()
{
    masters::FieldDialogInput input;
    input.key = KeyFldNE->text();
    for (int i = 0; i < masters::MaxReferences; ++i)
        input.references[i] = FldNE[i]->text();
    input.referenceCount = std::max(FldCntCB->currentIndex(), 0) + 1;
    std::vector<int> widths;
    if (const std::optional<masters::FieldDialogError> error = masters::checkFieldWidths(input, &widths)) {
        platform::ui().messageBox(error->message, masters::FieldDialogCaption, formkit::inputErrorStyle());
        formkit::requestFocus(error->field == 0 ? static_cast<QWidget *>(KeyFldNE) : FldNE[error->field - 1]);
        return;
    }
    NewMstFld = widths;
    FldSetOk = true;
    accept();
}

void TMasterFldForm::CancelBtnClick()
{
    FldSetOk = false;
    reject();
}
