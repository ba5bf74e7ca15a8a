#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The main form every add-in settings program derives its TMainForm from: the tree of page nodes on
// the left, then a blank node, the cancel node "キャンセル", a blank node and the confirm node; the
// pages beside it, switched only through the tree.
//
// A program's form builds its pages in its constructor (addPage once per page node, in order) and
// implements LoadPara, CheckData and SavePara. The program block (AddInProgram.h) then calls
// FormCreate, and shows the form only when that returned true.
//
//  - Cancel node, the close box and Escape close through FormCloseQuery: with ChangeFlag set the
//    operator is asked "設定したデータを破棄してもいいですか？" under closeQueryCaption().
//  - Confirm node: CheckData; when it passes, SavePara; when that handed the answer back,
//    ChangeFlag is cleared and the form closes without asking. A SavePara that could not store the
//    answer keeps the form open (the frame shows nothing; SavePara tells the operator).
//  - CheckData reports its first failure with ShowCheckError, which makes the page active, selects
//    its tree node, focuses the control and shows the "入力エラー" box.
class TAddInMainForm : public QDialog {
    Q_OBJECT

public:
    // pageCaptions: the page nodes in order; confirmCaption: "更新" or "確定".
    TAddInMainForm(const QStringList &pageCaptions, const QString &confirmCaption, QWidget *parent = nullptr);

    bool SetFlag = false;
    bool ChangeFlag = false;

    QTreeWidget *TreeView1 = nullptr;
    QStackedWidget *PageControl1 = nullptr;

    // Set flag, LoadPara; on true the first page and tree node 0, DspPage, both flags cleared.
    // False for an unsupported model: the form must not be shown and the program ends.
    bool FormCreate();

    int cancelNode() const { return int(pageCaptions_.size()) + 1; }
    int confirmNode() const { return int(pageCaptions_.size()) + 3; }
    // Shows page index (and selects its tree node) as a click on its node does.
    void showPage(int index);

    // What the confirm node runs; public so that a program's tests can drive it like the node.
    void Confirm();

protected:
    // Appends the sheet of the next page node.
    void addPage(QWidget *page);

    virtual bool LoadPara() = 0;
    // True when every rule passed; else the first failure was shown with ShowCheckError.
    virtual bool CheckData() = 0;
    // Builds and writes the answer; false when it could not be handed back (the form stays open).
    virtual bool SavePara() = 0;
    // Refreshes the active page's controls; programs without one leave it empty.
    virtual void DspPage() {}
    // The close query's caption; the window caption unless a program has its own.
    virtual QString closeQueryCaption() const { return windowTitle(); }

    void ShowCheckError(int page, QWidget *control, const QString &message);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void reject() override;

private slots:
    void TreeView1Click();

private:
    bool FormCloseQuery();

    QStringList pageCaptions_;
};
