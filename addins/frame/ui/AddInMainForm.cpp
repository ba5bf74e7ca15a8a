#include "AddInMainForm.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTreeWidget>

TAddInMainForm::TAddInMainForm(const QStringList &pageCaptions, const QString &confirmCaption,
                               QWidget *parent)
    : QDialog(parent), pageCaptions_(pageCaptions)
{
    TreeView1 = formkit::named(new QTreeWidget(this), "TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setFixedWidth(130);
    QStringList nodes = pageCaptions;
    nodes << QString() << QStringLiteral("キャンセル") << QString() << confirmCaption;
    for (const QString &caption : nodes)
        TreeView1->addTopLevelItem(new QTreeWidgetItem(QStringList{caption}));

    PageControl1 = formkit::named(new QStackedWidget(this), "PageControl1");
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(TreeView1);
    layout->addWidget(PageControl1, 1);

    connect(TreeView1, &QTreeWidget::itemClicked, this, &TAddInMainForm::TreeView1Click);
    TreeView1->installEventFilter(this);
}

void TAddInMainForm::addPage(QWidget *page)
{
    PageControl1->addWidget(page);
}

bool TAddInMainForm::FormCreate()
{
    formkit::LoadingGuard loading(SetFlag);
    if (!LoadPara())
        return false;
    showPage(0);
    DspPage();
    ChangeFlag = false;
    return true;
}

void TAddInMainForm::showPage(int index)
{
    if (index < 0 || index >= PageControl1->count())
        return;
    PageControl1->setCurrentIndex(index);
    TreeView1->setCurrentItem(TreeView1->topLevelItem(index));
}

void TAddInMainForm::TreeView1Click()
{
    const int node = TreeView1->indexOfTopLevelItem(TreeView1->currentItem());
    if (node >= 0 && node < int(pageCaptions_.size())) {
        PageControl1->setCurrentIndex(node);
        DspPage();
    } else if (node == cancelNode()) {
        close();
    } else if (node == confirmNode()) {
        Confirm();
    }
}

void TAddInMainForm::Confirm()
{
    if (!CheckData() || !SavePara())
        return;
    ChangeFlag = false;
    close();
}

void TAddInMainForm::ShowCheckError(int page, QWidget *control, const QString &message)
{
    showPage(page);
    formkit::requestFocus(control);
    // A field of a scrolled list of rows may lie out of view; the operator must see the one named.
    if (QWidget *focused = focusWidget()) {
        for (QWidget *w = focused->parentWidget(); w != nullptr && w != this; w = w->parentWidget())
            if (auto *scroll = qobject_cast<QScrollArea *>(w))
                scroll->ensureWidgetVisible(focused);
    }
    formkit::showInputError(message);
}

void TAddInMainForm::changeEvent(QEvent *event)
{
    // The tree of pages has no caption beside it; it is read aloud by the window's, which names
    // the job and the model and is set only once the hand-off has been read.
    if (event->type() == QEvent::WindowTitleChange)
        caption::name(TreeView1, windowTitle());
    QDialog::changeEvent(event);
}

bool TAddInMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The keyboard's way to "click" the selected node.
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            TreeView1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TAddInMainForm::FormCloseQuery()
{
    if (!ChangeFlag)
        return true;
    return formkit::askYes(QStringLiteral("設定したデータを破棄してもいいですか？"), closeQueryCaption());
}

void TAddInMainForm::reject()
{
    // The cancel node, the close box and Escape all end here, through the same question.
    if (FormCloseQuery())
        QDialog::reject();
}
