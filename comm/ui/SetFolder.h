#pragma once

// The folder picker of the communication mode dialog.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <optional>

class QFileSystemModel;
class QPushButton;
class QTreeView;

// What the picker is for: 1 the log folder, 2 the default receive folder, any other value the
// default send folder.
extern int SetFolderMode;
// The folder in and out: the one to select when the picker opens; after "ＯＫ" the chosen folder
// ending in "/", after "キャンセル" empty.
extern QString SetFolderPath;

class TSetFolderForm : public QDialog {
    Q_OBJECT

public:
    explicit TSetFolderForm(QWidget *parent = nullptr);

    // Selects an existing folder of the tree and opens the branches above it; false, with the
    // selection left as it was, for anything else.
    bool selectFolder(const QString &path);
    // The selected folder without a trailing "/"; empty while none is selected.
    QString selectedFolder() const;
    // Judges network folders by this mounts table instead of the running system's.
    void useMountTable(const QByteArray &mounts) { MountTable = mounts; }

public slots:
    // Every way out other than "ＯＫ" (the button, Escape, the close box) hands out no folder.
    void reject() override;

private slots:
    void OkButtonClick();
    void CancellButtonClick();

private:
    void FormCreate();
    void keepSelectionInView();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QFileSystemModel *FolderModel = nullptr;
    QTreeView *FolderTree = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancellButton = nullptr;
    std::optional<QByteArray> MountTable;
    // The preselected folder is kept in sight while the folders around it are still being read,
    // until the operator takes the tree in hand.
    bool KeepInView = false;
};
