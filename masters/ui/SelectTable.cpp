#include "SelectTable.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "masters/MasterEditRules.h"
#include "masters/MasterFields.h"
#include "platform/UiService.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;
namespace tables = masters::tables;

namespace {

const char *const LabelNames[] = {"KeyFldLB", "Fld1LB", "Fld2LB", "Fld3LB", "Fld4LB", "Fld5LB"};
const char *const ChoiceNames[] = {"KeyFldCB", "Fld1CB", "Fld2CB", "Fld3CB", "Fld4CB", "Fld5CB"};
const char16_t *const Labels[] = {u"検索キー",     u"参照データ１", u"参照データ２",
                                  u"参照データ３", u"参照データ４", u"参照データ５"};
// A table offers at most this many columns.
constexpr int MaxColumns = 256;

// Restores the cursor however the run ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TSelectTableForm::TSelectTableForm(tables::TableSource &source, const QStringList &tables,
                                   const std::vector<int> &widths, tables::RecordSink &sink, QWidget *parent)
    : QDialog(parent), source_(source), widths_(widths), sink_(sink)
{
    setObjectName(QStringLiteral("SelectTableForm"));
    setWindowTitle(masters::SelectTableCaption);

    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->setReadOnly(true);
    // Both show the table: the list to choose it from, the edit the one chosen.
    caption::name(Edit1, windowTitle());
    ListBox1 = named(new QListWidget(this), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    caption::name(ListBox1, windowTitle());
    auto *tableSide = new QVBoxLayout;
    tableSide->addWidget(Edit1);
    tableSide->addWidget(ListBox1, 1);

    auto *fields = new QGridLayout;
    for (int i = 0; i < masters::MaxFields; ++i) {
        FldLB[i] = named(new QLabel(QString::fromUtf16(Labels[i]), this), LabelNames[i]);
        FldCB[i] = named(new TListCombo(this), ChoiceNames[i]);
        FldCB[i]->setMinimumWidth(200);
        FldCB[i]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        caption::link(FldLB[i], FldCB[i]);
        fields->addWidget(FldLB[i], i, 0);
        fields->addWidget(FldCB[i], i, 1);
    }
    KeyFldLB = FldLB[0];
    KeyFldCB = FldCB[0];
    Edit1->installEventFilter(this);

    // Two lines broken where the sentence pauses, so no particle or full stop stands alone.
    Memo1 = named(
        new QLabel(QStringLiteral("テーブルを選択して検索キー項目と\n参照データ項目を指定してください。"),
                   this),
        "Memo1");
    Memo1->setFrameShape(QFrame::StyledPanel);
    Memo1->setMargin(4);
    auto *fieldSide = new QVBoxLayout;
    fieldSide->addLayout(fields);
    fieldSide->addStretch();
    fieldSide->addWidget(Memo1);

    OkButton = formkit::button("OkButton", QStringLiteral("ｲﾝﾎﾟｰﾄ実行"), this);
    CanButton = formkit::button("CanButton", QStringLiteral("ｷｬﾝｾﾙ"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CanButton);

    auto *sides = new QHBoxLayout;
    sides->addLayout(tableSide, 1);
    sides->addLayout(fieldSide, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(ListBox1, &QListWidget::currentRowChanged, this, &TSelectTableForm::ListBox1Click);
    connect(OkButton, &QPushButton::clicked, this, &TSelectTableForm::OkButtonClick);
    connect(CanButton, &QPushButton::clicked, this, &TSelectTableForm::CanButtonClick);
    FormCreate(tables);
}

int TSelectTableForm::fieldCount() const
{
    return std::min(static_cast<int>(widths_.size()), masters::MaxFields);
}

void TSelectTableForm::FormCreate(const QStringList &tables)
{
    const formkit::LoadingGuard loading(SetFlag);
    ListBox1->addItems(tables);
    ListBox1->setCurrentRow(-1);
    for (int i = 0; i < masters::MaxFields; ++i) {
        FldLB[i]->setVisible(i < fieldCount());
        FldCB[i]->setVisible(i < fieldCount());
    }
}

void TSelectTableForm::clearChoice()
{
    const formkit::LoadingGuard loading(SetFlag);
    ImportTable.clear();
    Edit1->clear();
    FSDataType.clear();
    for (TListCombo *choice : FldCB)
        choice->clear();
}

void TSelectTableForm::ListBox1Click()
{
    if (SetFlag)
        return;
    clearChoice();
    const QListWidgetItem *item = ListBox1->currentItem();
    if (item == nullptr)
        return;
    QList<tables::TableColumn> columns;
    QString error;
    if (!source_.readColumns(item->text(), columns, error)) {
        // A table that cannot be read is no choice: nothing stays selected that a run would fail on.
        {
            const formkit::LoadingGuard loading(SetFlag);
            ListBox1->setCurrentRow(-1);
        }
        platform::ui().messageBox(error, masters::SelectTableCaption, formkit::stopStyle());
        return;
    }
    const formkit::LoadingGuard loading(SetFlag);
    ImportTable = item->text();
    Edit1->setText(ImportTable);
    QStringList names;
    for (const tables::TableColumn &column : columns) {
        if (names.size() == MaxColumns)
            break;
        names << column.name;
        FSDataType.push_back(column.numeric ? 1 : 0);
    }
    for (int i = 0; i < fieldCount(); ++i) {
        FldCB[i]->addItems(names);
        FldCB[i]->setCurrentIndex(-1);
    }
}

void TSelectTableForm::OkButtonClick()
{
    tables::FieldAssignment assignment;
    for (int i = 0; i < fieldCount(); ++i)
        assignment.columns << FldCB[i]->currentIndex();
    if (!tables::assignmentComplete(ImportTable, assignment, static_cast<int>(widths_.size()))) {
        platform::ui().messageBox(masters::AssignmentErrorText, masters::AssignmentErrorCaption,
                                  formkit::inputErrorStyle());
        return;
    }
    ImportCount = 0;
    UnheldCells = 0;
    tables::ImportOutcome outcome;
    {
        const WaitCursor wait;
        outcome = tables::importTable(source_, ImportTable, assignment,
                                      QList<int>(widths_.begin(), widths_.end()), sink_);
    }
    ImportCount = outcome.count;
    UnheldCells = outcome.unheldCells;
    if (!outcome.ok) {
        RunError = outcome.error.isEmpty() ? masters::FileErrorText : outcome.error;
        ImportTable.clear();
        QDialog::reject();
        return;
    }
    accept();
}

void TSelectTableForm::CanButtonClick()
{
    reject();
}

void TSelectTableForm::reject()
{
    // The close box and Escape end here as "ｷｬﾝｾﾙ" does: nothing was imported.
    ImportTable.clear();
    QDialog::reject();
}

bool TSelectTableForm::KeyPress0(const QKeyEvent &key)
{
    // Typed characters never reach the table name (the column choices drop them themselves);
    // moving keys still do.
    return !key.text().isEmpty() && key.text().at(0).isPrint();
}

bool TSelectTableForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == Edit1 && KeyPress0(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
