#pragma once

#include "masters/MasterImport.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <vector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TListCombo;

// The table dialog of the master import: the operator picks a table of the source and, for the key
// and each reference field, the column it is filled from; "ｲﾝﾎﾟｰﾄ実行" then appends one record per
// row to the working copy. Any other way out imports nothing.
class TSelectTableForm : public QDialog {
    Q_OBJECT

public:
    // tables: the source's tables; widths: the master's, key first; sink: the working copy.
    TSelectTableForm(masters::tables::TableSource &source, const QStringList &tables,
                     const std::vector<int> &widths, masters::tables::RecordSink &sink,
                     QWidget *parent = nullptr);

    QLineEdit *Edit1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QLabel *KeyFldLB = nullptr;
    TListCombo *KeyFldCB = nullptr;
    // The labels and column choices in field order, key first.
    std::array<QLabel *, 6> FldLB{};
    std::array<TListCombo *, 6> FldCB{};
    QLabel *Memo1 = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CanButton = nullptr;

    // The chosen table; empty once the dialog ends in any way but a whole run.
    QString ImportTable;
    qint64 ImportCount = 0;
    qint64 UnheldCells = 0; // of the last run: cells with characters stored as "?"
    // Per column of the chosen table: 1 numeric, 0 other.
    std::vector<int> FSDataType;
    // The text of a run that stopped part way.
    QString RunError;

    // What the import command takes from the dialog once it has closed.
    masters::TableRun run() const { return {ImportTable, ImportCount, UnheldCells, RunError}; }

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void ListBox1Click();
    void OkButtonClick();
    void CanButtonClick();

private:
    // Whether a key typed into the table name is swallowed.
    static bool KeyPress0(const QKeyEvent &key);
    void FormCreate(const QStringList &tables);
    void clearChoice();
    int fieldCount() const;

    masters::tables::TableSource &source_;
    std::vector<int> widths_;
    masters::tables::RecordSink &sink_;
    bool SetFlag = false;
};
