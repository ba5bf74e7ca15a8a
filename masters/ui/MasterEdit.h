#pragma once

#include "masters/MasterEditModel.h"

#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

class QTableWidget;
class QToolBar;
class QToolButton;

// The master file editor: a master's working copy shown twenty records at a time in a grid, with
// the commands to page, edit, insert and delete records, and to save and send the master. The
// working copy and the rules live in MasterEditModel; this form moves them into its grid and the
// operator's typing back.
class TMasterForm : public QDialog {
    Q_OBJECT

public:
    // comPort, comSpeed: the main menu's port ("COM1") and speed, for the send dialog.
    TMasterForm(const QString &comPort, int comSpeed, QWidget *parent = nullptr);
    ~TMasterForm() override;

    QString ComPort;
    int ComSpeed = 115200;
    QString MasterFolder;
    QString MasterFile;
    QString DataSourceFolder;
    QString DataSourceFile;
    bool SetFlag = false;

    masters::MasterEditModel &Model() { return model_; }
    const masters::MasterEditModel &Model() const { return model_; }

    QToolBar *ToolBar1 = nullptr;
    QToolButton *NewBtn = nullptr;
    QToolButton *OpenBtn = nullptr;
    QToolButton *ImportBtn = nullptr;
    QToolButton *SaveBtn = nullptr;
    QToolButton *SendBtn = nullptr;
    QToolButton *BackPaeBtn = nullptr;
    QToolButton *BackBtn = nullptr;
    QToolButton *NextBtn = nullptr;
    QToolButton *NextPageBtn = nullptr;
    QToolButton *InsBtn = nullptr;
    QToolButton *DelBtn = nullptr;
    QToolButton *CloseBtn = nullptr;
    QToolButton *EndBtn = nullptr;
    QTableWidget *MasterGrid = nullptr;

    // The cell the operator edits, in grid rows 1..20 and columns 1..FldCnt.
    int currentRow() const;
    int currentColumn() const;

    // Called by the grid's cell editor on every change of its text (typing, pasting).
    void MasterGridSetEditText(int row, int column, const QString &text);
    // Enter in the grid or its cell editor.
    void MasterGridKeyPress();
    // Escape in the cell editor: the cell's text as before the edit, on the screen and in the page.
    void MasterGridCancelEdit();

protected:
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void NewBtnClick();
    void OpenBtnClick();
    void ImportBtnClick();
    void SaveBtnClick();
    void SendBtnClick();
    void BackPaeBtnClick();
    void BackBtnClick();
    void NextBtnClick();
    void NextPageBtnClick();
    void InsBtnClick();
    void DelBtnClick();
    void CloseBtnClick();
    void EndBtnClick();
    void MasterGridClick(int row, int column);

private:
    void buildControls();
    void FormCreate();
    bool FormCloseQuery();
    void SaveRegistry();
    void EnableBtn(bool open);
    // The grid's columns for the open master's widths.
    void DspFld();
    // The model's page into the grid, the current cell with its editor open.
    void DispData();
    // The current cell's editor, open whenever the grid is shown.
    void openEditor();
    // Nothing open: the grid hidden and the buttons of no file.
    void showClosed();
    bool discardQuestion(const QString &text);
    // After a tool button's command and the dialogs it showed: the focus back on the button.
    void returnFocus(QToolButton *opener);
    // Runs the field information dialog from the widths given; nothing when cancelled.
    std::optional<std::vector<int>> askWidths(const std::vector<int> &widths);

    masters::MasterEditModel model_;
};
