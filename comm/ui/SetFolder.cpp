#include "SetFolder.h"

#include "comm/SetFolderRules.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "platform/UiService.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

int SetFolderMode = 0;
QString SetFolderPath;

TSetFolderForm::TSetFolderForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SetFolderForm"));
    resize(320, 420);

    FolderModel = new QFileSystemModel(this);
    FolderModel->setObjectName(QStringLiteral("FolderModel"));
    FolderModel->setReadOnly(true);
    // Folders only; hidden ones hold programs' own settings, not the operators' data.
    FolderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    const QModelIndex top = FolderModel->setRootPath(QStringLiteral("/"));

    FolderTree = new QTreeView(this);
    FolderTree->setObjectName(QStringLiteral("FolderTree"));
    FolderTree->setModel(FolderModel);
    // The file system's root itself is not shown: its folders, the users' homes among them, are the
    // top of the tree.
    FolderTree->setRootIndex(top);
    FolderTree->setHeaderHidden(true);
    for (int column = 1; column < FolderModel->columnCount(); ++column)
        FolderTree->hideColumn(column);
    FolderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FolderTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FolderTree->setUniformRowHeights(true);

    OkButton = formkit::named(new QPushButton(QStringLiteral("ＯＫ"), this), "OkButton");
    OkButton->setDefault(true);
    CancellButton = formkit::button("CancellButton", QStringLiteral("キャンセル"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancellButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FolderTree, 1);
    layout->addLayout(buttons);

    connect(OkButton, &QPushButton::clicked, this, &TSetFolderForm::OkButtonClick);
    connect(CancellButton, &QPushButton::clicked, this, &TSetFolderForm::CancellButtonClick);
    // Rows read in later, and the sorting after them, move the preselected folder.
    connect(FolderModel, &QFileSystemModel::directoryLoaded, this, &TSetFolderForm::keepSelectionInView);
    connect(FolderModel, &QAbstractItemModel::rowsInserted, this, &TSetFolderForm::keepSelectionInView);
    connect(FolderModel, &QAbstractItemModel::layoutChanged, this, &TSetFolderForm::keepSelectionInView);
    FolderTree->installEventFilter(this);
    FolderTree->viewport()->installEventFilter(this);
    FolderTree->verticalScrollBar()->installEventFilter(this);

    FormCreate();
}

void TSetFolderForm::FormCreate()
{
    setWindowTitle(comm::folderFormCaption(SetFolderMode));
    // The tree is the whole dialog: which folder it picks is the title's.
    caption::name(FolderTree, windowTitle());
    // A network folder is not read (it may hang); an empty field or a folder gone starts at the
    // current folder, not at the top of the tree.
    if (comm::isNetworkFolder(SetFolderPath) || selectFolder(SetFolderPath))
        return;
    const QString current = QDir::currentPath();
    if (!comm::isNetworkFolder(current))
        selectFolder(current);
}

bool TSetFolderForm::selectFolder(const QString &path)
{
    if (path.isEmpty() || comm::isNetworkPathName(path))
        return false;
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!QFileInfo(folder).isDir())
        return false;
    const QModelIndex index = FolderModel->index(folder);
    if (!index.isValid() || index == FolderTree->rootIndex())
        return false;
    for (QModelIndex above = index.parent(); above.isValid() && above != FolderTree->rootIndex();
         above = above.parent())
        FolderTree->expand(above);
    FolderTree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    FolderTree->scrollTo(index);
    KeepInView = true;
    return true;
}

QString TSetFolderForm::selectedFolder() const
{
    const QModelIndexList selected = FolderTree->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    return FolderModel->filePath(selected.first());
}

void TSetFolderForm::keepSelectionInView()
{
    if (!KeepInView)
        return;
    const QModelIndex current = FolderTree->currentIndex();
    if (!current.isValid() || selectedFolder().isEmpty()) {
        KeepInView = false;
        return;
    }
    FolderTree->scrollTo(current);
}

bool TSetFolderForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        KeepInView = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TSetFolderForm::OkButtonClick()
{
    const QString selected = selectedFolder();
    // Nothing chosen yet: the picker waits for a folder rather than handing out none.
    if (selected.isEmpty())
        return;
    const comm::FolderChoice choice =
        comm::folderChoice(selected, MountTable ? *MountTable : comm::readMountTable());
    if (choice.refused) {
        platform::MsgStyle style = formkit::stopStyle();
        style.foreground = true;
        platform::ui().messageBox(QStringLiteral("ﾈｯﾄﾜｰｸ上のPCのﾌｫﾙﾀﾞは設定できません。"),
                                  QStringLiteral("ﾌｫﾙﾀﾞ設定ｴﾗｰ"), style);
        return;
    }
    SetFolderPath = choice.path;
    accept();
}

void TSetFolderForm::CancellButtonClick()
{
    reject();
}

void TSetFolderForm::reject()
{
    SetFolderPath.clear();
    QDialog::reject();
}
