#include "MasterEdit.h"

#include "common/FileDialogStart.h"
#include "common/ui/Caption.h"
#include "common/ui/FilteredLineEdit.h"
#include "common/ui/FormKit.h"
#include "masters/ui/MasterFld.h"
#include "masters/ui/SelectTable.h"
#include "masters/ui/SendMst.h"
#include "platform/Registry.h"
#include "platform/UiService.h"

#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

using formkit::named;
using masters::PageRows;

namespace {

// The grid's cell editor: every change of its text goes to the form at once, so the cut to the
// column's width applies to typed and pasted text alike, and Enter is the form's, not the view's.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(TMasterForm *form) : QStyledItemDelegate(form), form_(form) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        // Typed and pasted text takes the filtered path, which refuses characters a master cannot hold.
        auto *editor = named(new FilteredLineEdit(parent), "CellEditor");
        editor->setFrame(false);
        // An editor inside a cell is read aloud by its column's heading.
        caption::name(editor, index.model()->headerData(index.column(), Qt::Horizontal).toString());
        const int row = index.row() + 1;
        const int column = index.column();
        connect(editor, &QLineEdit::textEdited, form_, [form = form_, row, column](const QString &text) {
            form->MasterGridSetEditText(row, column, text);
        });
        return editor;
    }

protected:
    bool eventFilter(QObject *editor, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                form_->MasterGridKeyPress();
                return true;
            }
            // The view would close the editor and show the old text while the page kept the typed one.
            if (key == Qt::Key_Escape) {
                form_->MasterGridCancelEdit();
                return true;
            }
        }
        // The window losing the focus (a box refusing a character, another window) closes no edit:
        // the operator comes back to the text and the caret where they were.
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent *>(event)->reason() == Qt::ActiveWindowFocusReason)
            return false;
        return QStyledItemDelegate::eventFilter(editor, event);
    }

private:
    TMasterForm *form_;
};

// The form's face lacks kana and kanji: each run of them would come from a fallback face of
// other proportions, and half-width katakana would stand beside letters of another face. A gothic
// face that holds Latin, half-width katakana and kanji draws every cell in one face, a byte of a
// record half a full-width character wide.
QFont gridFont(QFont font)
{
    font.setFamilies({QStringLiteral("IPAGothic"), font.family()});
    return font;
}

} // namespace

TMasterForm::TMasterForm(const QString &comPort, int comSpeed, QWidget *parent)
    : QDialog(parent), ComPort(comPort), ComSpeed(comSpeed), model_(platform::ui())
{
    setObjectName(QStringLiteral("MasterForm"));
    buildControls();
    FormCreate();
}

TMasterForm::~TMasterForm() = default;

void TMasterForm::buildControls()
{
    // Most of the tool buttons open a modal dialog.
    caption::pressToolButtonsAfterTheCall();
    ToolBar1 = named(new QToolBar(this), "ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto tool = [this](const char *name, const QString &caption, void (TMasterForm::*handler)()) {
        QToolButton *b = formkit::toolButton(ToolBar1, name, caption);
        connect(b, &QToolButton::clicked, this, [this, b, handler] {
            (this->*handler)();
            returnFocus(b);
        });
        return b;
    };
    NewBtn = tool("NewBtn", QStringLiteral("新規作成"), &TMasterForm::NewBtnClick);
    OpenBtn = tool("OpenBtn", QStringLiteral("開く"), &TMasterForm::OpenBtnClick);
    ImportBtn = tool("ImportBtn", QStringLiteral("インポート"), &TMasterForm::ImportBtnClick);
    SaveBtn = tool("SaveBtn", QStringLiteral("保存"), &TMasterForm::SaveBtnClick);
    SendBtn = tool("SendBtn", QStringLiteral("送信"), &TMasterForm::SendBtnClick);
    ToolBar1->addSeparator();
    BackPaeBtn = tool("BackPaeBtn", QStringLiteral("前ﾍﾟｰｼﾞ"), &TMasterForm::BackPaeBtnClick);
    BackBtn = tool("BackBtn", QStringLiteral("上"), &TMasterForm::BackBtnClick);
    NextBtn = tool("NextBtn", QStringLiteral("下"), &TMasterForm::NextBtnClick);
    NextPageBtn = tool("NextPageBtn", QStringLiteral("次ﾍﾟｰｼﾞ"), &TMasterForm::NextPageBtnClick);
    ToolBar1->addSeparator();
    InsBtn = tool("InsBtn", QStringLiteral("行挿入"), &TMasterForm::InsBtnClick);
    DelBtn = tool("DelBtn", QStringLiteral("行削除"), &TMasterForm::DelBtnClick);
    ToolBar1->addSeparator();
    CloseBtn = tool("CloseBtn", QStringLiteral("閉じる"), &TMasterForm::CloseBtnClick);
    EndBtn = tool("EndBtn", QStringLiteral("終了"), &TMasterForm::EndBtnClick);

    MasterGrid = named(new QTableWidget(PageRows, 2, this), "MasterGrid");
    MasterGrid->setFont(gridFont(MasterGrid->font()));
    MasterGrid->verticalHeader()->setVisible(false);
    MasterGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MasterGrid->verticalHeader()->setDefaultSectionSize(MasterGrid->fontMetrics().height() + 8);
    MasterGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MasterGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    MasterGrid->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed |
                                QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    MasterGrid->setItemDelegate(new CellDelegate(this));
    MasterGrid->installEventFilter(this);
    caption::name(MasterGrid, masters::EditorCaption);
    connect(MasterGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { MasterGridClick(row, column); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ToolBar1);
    layout->addWidget(MasterGrid, 1);
    // Before a file is open the grid is hidden: the tool bar stays at the top all the same.
    layout->addStretch();
    resize(980, MasterGrid->verticalHeader()->defaultSectionSize() * PageRows + 120);
}

void TMasterForm::FormCreate()
{
    platform::TRegistry registry;
    const masters::MasterLocation location = masters::readMasterLocation(registry);
    MasterFolder = location.MasterFolder;
    MasterFile = location.MasterFile;
    DataSourceFolder = location.DataSourceFolder;
    DataSourceFile = location.DataSourceFile;
    setWindowTitle(masters::EditorCaption);
    model_.BhtName.clear();
    model_.DTop = 1;
    showClosed();
}

void TMasterForm::SaveRegistry()
{
    platform::TRegistry registry;
    masters::writeMasterLocation(registry, {MasterFolder, MasterFile, DataSourceFolder, DataSourceFile});
}

void TMasterForm::EnableBtn(bool open)
{
    const masters::MasterButtonStates s = masters::EnableBtn(open);
    NewBtn->setEnabled(s.NewBtn);
    OpenBtn->setEnabled(s.OpenBtn);
    ImportBtn->setEnabled(s.ImportBtn);
    SaveBtn->setEnabled(s.SaveBtn);
    SendBtn->setEnabled(s.SendBtn);
    BackPaeBtn->setEnabled(s.BackPaeBtn);
    BackBtn->setEnabled(s.BackBtn);
    NextBtn->setEnabled(s.NextBtn);
    NextPageBtn->setEnabled(s.NextPageBtn);
    InsBtn->setEnabled(s.InsBtn);
    DelBtn->setEnabled(s.DelBtn);
    CloseBtn->setEnabled(s.CloseBtn);
    EndBtn->setEnabled(s.EndBtn);
}

void TMasterForm::showClosed()
{
    const formkit::LoadingGuard loading(SetFlag);
    MasterGrid->setVisible(false);
    EnableBtn(false);
}

void TMasterForm::DspFld()
{
    const formkit::LoadingGuard loading(SetFlag);
    const int fields = model_.FldCnt();
    MasterGrid->clear();
    MasterGrid->setColumnCount(fields + 1);
    QStringList titles{QStringLiteral("No")};
    for (int c = 1; c <= fields; ++c)
        titles << masters::columnTitle(c, model_.MstFld[c - 1]);
    MasterGrid->setHorizontalHeaderLabels(titles);
    // A column holds its width in bytes, at least MinColChars, in this font's digit width (a
    // double-byte character is about two digits wide), and its whole title.
    const QFontMetrics metrics = MasterGrid->fontMetrics();
    const int character = std::max(metrics.horizontalAdvance(QLatin1Char('0')), 6);
    MasterGrid->setColumnWidth(0, 8 * character);
    for (int c = 1; c <= fields; ++c) {
        const int data = std::max(model_.MstFld[c - 1], masters::MinColChars) * character + 12;
        MasterGrid->setColumnWidth(c, std::max(data, metrics.horizontalAdvance(titles.at(c)) + 16));
    }
    for (int r = 0; r < PageRows; ++r) {
        auto *number = new QTableWidgetItem;
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setBackground(palette().button());
        MasterGrid->setItem(r, 0, number);
        for (int c = 1; c <= fields; ++c)
            MasterGrid->setItem(r, c, new QTableWidgetItem);
    }
    MasterGrid->setVisible(true);
    // The first cell, with the text an edit of it starts from.
    model_.MasterGridClick(1, 1);
}

void TMasterForm::DispData()
{
    {
        const formkit::LoadingGuard loading(SetFlag);
        // The model holds every typed character already: the editor goes without writing back.
        if (QWidget *editor = MasterGrid->indexWidget(MasterGrid->currentIndex()))
            emit MasterGrid->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
        for (int r = 1; r <= PageRows; ++r) {
            MasterGrid->item(r - 1, 0)->setText(model_.numberText(r));
            for (int c = 1; c <= model_.FldCnt(); ++c)
                MasterGrid->item(r - 1, c)->setText(model_.cell(r, c));
        }
        if (MasterGrid->currentRow() != model_.TmpRow - 1 || MasterGrid->currentColumn() != model_.TmpCol)
            MasterGrid->setCurrentCell(model_.TmpRow - 1, model_.TmpCol);
    }
    openEditor();
}

void TMasterForm::openEditor()
{
    const QModelIndex current = MasterGrid->currentIndex();
    if (MasterGrid->isVisible() && current.isValid() && MasterGrid->indexWidget(current) == nullptr)
        MasterGrid->editItem(MasterGrid->item(current.row(), current.column()));
}

void TMasterForm::returnFocus(QToolButton *opener)
{
    if (!isVisible())
        return;
    // Showing a page gives the cell editor the focus, and a dialog leaves it wherever its window
    // last had it: the operator goes on from the button pressed, unless the command disabled it.
    QWidget *target = opener;
    if (!opener->isEnabled()) {
        QWidget *editor = MasterGrid->indexWidget(MasterGrid->currentIndex());
        target = !MasterGrid->isVisible() ? static_cast<QWidget *>(OpenBtn)
                 : editor != nullptr      ? editor
                                          : static_cast<QWidget *>(MasterGrid);
    }
    target->setFocus(Qt::OtherFocusReason);
}

int TMasterForm::currentRow() const
{
    return model_.TmpRow;
}

int TMasterForm::currentColumn() const
{
    return model_.TmpCol;
}

bool TMasterForm::discardQuestion(const QString &text)
{
    return formkit::askYes(text, masters::EditorCaption);
}

std::optional<std::vector<int>> TMasterForm::askWidths(const std::vector<int> &widths)
{
    TMasterFldForm form(widths, this);
    platform::ui().showModal(form);
    if (!form.FldSetOk)
        return std::nullopt;
    return form.NewMstFld;
}

void TMasterForm::MasterGridSetEditText(int row, int column, const QString &text)
{
    if (SetFlag)
        return;
    const QString cut = model_.MasterGridSetEditText(row, column, text);
    if (cut == text)
        return;
    auto *editor =
        qobject_cast<QLineEdit *>(MasterGrid->indexWidget(MasterGrid->model()->index(row - 1, column)));
    const int caret = editor != nullptr ? editor->cursorPosition() : 0;
    const formkit::LoadingGuard loading(SetFlag);
    // The view puts the item's text into its editor, the caret at the end.
    if (QTableWidgetItem *item = MasterGrid->item(row - 1, column))
        item->setText(cut);
    // The cut text stays in the editor, the caret after what was typed (or at the end, when the cut
    // took part of it).
    if (editor != nullptr) {
        editor->setText(cut);
        editor->setCursorPosition(std::min(caret, int(cut.size())));
    }
}

void TMasterForm::MasterGridCancelEdit()
{
    if (!model_.EditFlag)
        return;
    const QString before = model_.cancelCellEdit();
    const formkit::LoadingGuard loading(SetFlag);
    const int row = model_.TmpRow - 1;
    const int column = model_.TmpCol;
    if (QTableWidgetItem *item = MasterGrid->item(row, column))
        item->setText(before);
    // The editor stays (the view has put the text in already), as it opened on the cell: its whole
    // text selected.
    if (auto *editor =
            qobject_cast<QLineEdit *>(MasterGrid->indexWidget(MasterGrid->model()->index(row, column)))) {
        editor->setText(before);
        editor->selectAll();
    }
}

void TMasterForm::MasterGridClick(int row, int column)
{
    if (SetFlag || !model_.EditFlag || row < 0)
        return;
    model_.MasterGridClick(row + 1, column);
    if (model_.TmpRow - 1 != row || model_.TmpCol != column) {
        // Below the entry row or on the number column: back to a cell that can take a record.
        {
            const formkit::LoadingGuard loading(SetFlag);
            MasterGrid->setCurrentCell(model_.TmpRow - 1, model_.TmpCol);
        }
        openEditor();
    }
}

void TMasterForm::MasterGridKeyPress()
{
    if (!model_.EditFlag)
        return;
    model_.MasterGridKeyPress();
    DispData();
}

bool TMasterForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MasterGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MasterGridKeyPress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TMasterForm::NewBtnClick()
{
    if (model_.ChangeFlag && !discardQuestion(masters::DiscardQuestion))
        return;
    model_.closeFile();
    model_.MstFileName.clear();
    showClosed();
    setWindowTitle(masters::EditorCaption);
    const std::optional<std::vector<int>> widths = askWidths({0, 0});
    if (!widths || !model_.newFile(*widths))
        return;
    EnableBtn(true);
    DspFld();
    DispData();
    setWindowTitle(masters::NewFileCaption);
}

void TMasterForm::OpenBtnClick()
{
    if (model_.ChangeFlag && !discardQuestion(masters::DiscardQuestion))
        return;
    model_.closeFile();
    showClosed();
    setWindowTitle(masters::EditorCaption);
    bool forget = false;
    const filedialog::DialogStart start = filedialog::openDialogStart(
        MasterFolder, MasterFile, !MasterFile.isEmpty() && QFileInfo(MasterFile).isFile(), &forget);
    if (forget)
        MasterFile.clear();
    const QString chosen = platform::ui().openFileName(
        masters::OpenDialogTitle, filedialog::dialogPath(start), masters::MasterDialogFilter);
    if (chosen.isEmpty())
        return;
    if (!model_.openFile(chosen, [this] { return askWidths({0, 0}); }))
        return;
    MasterFolder = filedialog::folderOf(chosen);
    MasterFile = chosen;
    SaveRegistry();
    EnableBtn(true);
    DspFld();
    DispData();
    setWindowTitle(masters::fileCaption(chosen));
}

void TMasterForm::ImportBtnClick()
{
    const bool wasOpen = model_.EditFlag;
    masters::ImportHooks hooks;
    hooks.askWidths = [this] { return askWidths({0, 0}); };
    hooks.selectTable = [this](masters::tables::TableSource &source, const QStringList &tables,
                               const std::vector<int> &widths, masters::tables::RecordSink &sink) {
        TSelectTableForm form(source, tables, widths, sink, this);
        platform::ui().showModal(form);
        return form.run();
    };
    hooks.showPage = [this, wasOpen] {
        if (!wasOpen && !MasterGrid->isVisible()) {
            // The import made the working copy: the form shows it as after "新規作成".
            EnableBtn(true);
            DspFld();
            setWindowTitle(masters::NewFileCaption);
        }
        DispData();
    };
    model_.ImportBtnClick(DataSourceFolder, DataSourceFile, hooks);
    if (!model_.EditFlag) {
        showClosed();
        setWindowTitle(masters::EditorCaption);
        return;
    }
    DispData();
}

void TMasterForm::SaveBtnClick()
{
    const bool taken = model_.takeEntryRow();
    DispData();
    if (!taken || model_.recordCount() == 0)
        return;
    const filedialog::DialogStart start = filedialog::saveDialogStart(MasterFolder, MasterFile);
    const QString chosen = platform::ui().saveFileName(
        masters::SaveDialogTitle, filedialog::dialogPath(start), masters::MasterDialogFilter);
    if (chosen.isEmpty() || !model_.saveFile(chosen))
        return;
    MasterFolder = filedialog::folderOf(chosen);
    MasterFile = chosen;
    SaveRegistry();
    setWindowTitle(masters::fileCaption(chosen));
}

void TMasterForm::SendBtnClick()
{
    const bool ready = model_.prepareSend();
    DispData();
    if (!ready)
        return;
    TSendMstForm form(ComPort, ComSpeed, model_.BhtName, model_.TmpMst, model_.MstFld, this);
    platform::ui().showModal(form);
    if (!form.SentName.isEmpty())
        model_.BhtName = form.SentName;
}

void TMasterForm::BackPaeBtnClick()
{
    model_.BackPaeBtnClick();
    DispData();
}

void TMasterForm::BackBtnClick()
{
    model_.BackBtnClick();
    DispData();
}

void TMasterForm::NextBtnClick()
{
    model_.NextBtnClick();
    DispData();
}

void TMasterForm::NextPageBtnClick()
{
    model_.NextPageBtnClick();
    DispData();
}

void TMasterForm::InsBtnClick()
{
    model_.InsBtnClick();
    DispData();
}

void TMasterForm::DelBtnClick()
{
    model_.DelBtnClick();
    DispData();
}

void TMasterForm::CloseBtnClick()
{
    if (model_.ChangeFlag && !discardQuestion(masters::ChangedQuestion))
        return;
    model_.closeFile();
    showClosed();
    setWindowTitle(masters::EditorCaption);
}

void TMasterForm::EndBtnClick()
{
    close();
}

bool TMasterForm::FormCloseQuery()
{
    return !model_.ChangeFlag || discardQuestion(masters::ChangedQuestion);
}

void TMasterForm::reject()
{
    // The close box, Escape and "終了" all end here, through the same question.
    if (!FormCloseQuery())
        return;
    model_.closeFile();
    showClosed();
    QDialog::reject();
}
