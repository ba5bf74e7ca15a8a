// Adding and deleting jobs and items, and the three lists: selection, drag and drop within a list,
// the popup menu and its cut/copy stacks. Every change is made on the records; the lists are then
// refilled from them.

#include "AdGyoumu.h"
#include "AdKoumoku.h"
#include "DelName.h"
#include "SetGyoumu.h"

#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "jobs/LetterCodes.h"
#include "platform/UiService.h"

#include <QAction>
#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

namespace {

enum { JobList = 0, GroupItems = 1, DataItems = 2 };

// Hands the lists' mouse, key and drop events to the form before the list acts on them.
class ListEvents : public QObject {
public:
    using Handler = std::function<bool(QObject *, QEvent *)>;
    ListEvents(QObject *parent, Handler handler) : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return handler_(watched, event) || QObject::eventFilter(watched, event);
    }

private:
    Handler handler_;
};

QString deleteQuestion(const QString &name, bool job)
{
    return QStringLiteral("「") + name + (job ? QStringLiteral("」の業務を") : QStringLiteral("」の項目を")) +
           QStringLiteral("\r\n削除してもいいですか？");
}

} // namespace

void TSetGyForm::buildPopup()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto entry = [this](const char *name, const QString &caption, void (TSetGyForm::*handler)()) {
        QAction *action = PopupMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    LstNew = entry("LstNew", QStringLiteral("新規追加"), &TSetGyForm::LstNewClick);
    LstDel = entry("LstDel", QStringLiteral("削除"), &TSetGyForm::LstDelClick);
    LstCut = entry("LstCut", QStringLiteral("切り取り"), &TSetGyForm::LstCutClick);
    LstInst = entry("LstInst", QStringLiteral("挿入"), &TSetGyForm::LstInstClick);
    LstCopy = entry("LstCopy", QStringLiteral("コピー"), &TSetGyForm::LstCopyClick);
    LstPast = entry("LstPast", QStringLiteral("上書き"), &TSetGyForm::LstPastClick);

    const auto handler = [this](QObject *watched, QEvent *event) {
        return listKeyUp(watched, event) || listMouseDown(watched, event) || listDragDrop(watched, event);
    };
    auto *events = new ListEvents(this, handler);
    listEvents_ = events;
    for (QListWidget *list : {GMenuList, GroupList, DataList}) {
        list->installEventFilter(events);
        list->viewport()->installEventFilter(events);
        list->setDragEnabled(true);
        list->setAcceptDrops(true);
        list->viewport()->setAcceptDrops(true);
        list->setDragDropMode(QAbstractItemView::DragDrop);
        list->setDefaultDropAction(Qt::MoveAction);
    }
}

void TSetGyForm::showAfterListChange(int list)
{
    showCurrentJob();
    DspToolBtn(true);
    if (list == JobList)
        return;
    // The other list of the job shows no selection while this one holds the current item.
    TGyData &job = currentJob();
    if (job.TmpGrFlg && job.GrCount > 0)
        DataList->setCurrentRow(-1);
    else
        GroupList->setCurrentRow(-1);
}

// --- Adding and deleting.

void TSetGyForm::GyNew()
{
    if (set_->GyCount >= MaxGyCount)
        return;
    TAdGyForm form(set_->AddGyDat, AppPath, this);
    form.RcvProtoCB->setCurrentIndex(0);
    platform::ui().showModal(form);
    if (set_->AddGyDat.GyName.isEmpty() || !jobs::AddJob(*set_, set_->AddGyDat))
        return;
    showAfterListChange(JobList);
    ChangeFlag = true;
}

void TSetGyForm::GrKoNew()
{
    TGyData &job = currentJob();
    if (job.GrCount >= MaxKoCount)
        return;
    set_->AddKoDat = {true, QStringLiteral("ｸﾞﾙｰﾌﾟ項目"), 0};
    TAdKoForm form(set_->AddKoDat, this);
    platform::ui().showModal(form);
    if (!jobs::AddItem(job, set_->AddKoDat))
        return;
    showAfterListChange(GroupItems);
    ChangeFlag = true;
}

void TSetGyForm::DaKoNew()
{
    TGyData &job = currentJob();
    if (job.DaCount >= MaxKoCount)
        return;
    set_->AddKoDat = {false, QStringLiteral("ﾃﾞｰﾀ項目"), 0};
    TAdKoForm form(set_->AddKoDat, this);
    platform::ui().showModal(form);
    if (!jobs::AddItem(job, set_->AddKoDat))
        return;
    showAfterListChange(DataItems);
    ChangeFlag = true;
}

void TSetGyForm::GyNewBtnClick()
{
    GyNew();
}

void TSetGyForm::GrNewBtnClick()
{
    GrKoNew();
}

void TSetGyForm::DaNewBtnClick()
{
    DaKoNew();
}

void TSetGyForm::deleteEntry(int list, int at, bool ask, const QString &caption)
{
    QListWidget *shown = list == JobList ? GMenuList : list == GroupItems ? GroupList : DataList;
    if (ask) {
        const QListWidgetItem *row = shown->item(at);
        const QString name = row != nullptr ? row->text() : QString();
        if (platform::ui().messageBox(deleteQuestion(name, list == JobList), caption,
                                      formkit::questionStyle()) == platform::MsgResult::No)
            return;
    }
    bool done = false;
    {
        const formkit::LoadingGuard loading(SetFlag);
        if (list == JobList)
            done = jobs::DeleteJob(*set_, at);
        else if (list == GroupItems)
            done = jobs::DeleteGroupItem(currentJob(), at);
        else
            done = jobs::DeleteDataItem(currentJob(), at);
    }
    if (!done)
        return;
    showAfterListChange(list);
    ChangeFlag = true;
}

namespace {

// The delete dialog: the picked row, -1 for none.
int pickName(const QString &caption, const QStringList &names, QWidget *parent)
{
    TDelNameForm form(caption, names, parent);
    platform::ui().showModal(form);
    return form.DelNo;
}

QStringList rows(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

} // namespace

void TSetGyForm::GyDelBtnClick()
{
    if (set_->GyCount <= 1)
        return;
    const QString caption = QStringLiteral("業務削除");
    const int at = pickName(caption, rows(GMenuList), this);
    if (at >= 0)
        deleteEntry(JobList, at, true, caption);
}

void TSetGyForm::GrDelBtnClick()
{
    const TGyData &job = currentJob();
    const QChar mode = GyModeLetter(job.GyMode);
    if ((mode != u'A' && mode != u'B') || job.GrCount <= 0)
        return;
    const QString caption = QStringLiteral("ｸﾞﾙｰﾌﾟ項目削除");
    const int at = pickName(caption, rows(GroupList), this);
    if (at >= 0)
        deleteEntry(GroupItems, at, true, caption);
}

void TSetGyForm::DaDelBtnClick()
{
    const TGyData &job = currentJob();
    const QChar mode = GyModeLetter(job.GyMode);
    if ((mode != u'A' && mode != u'J') || job.DaCount <= 1)
        return;
    const QString caption = QStringLiteral("ﾃﾞｰﾀ項目削除");
    const int at = pickName(caption, rows(DataList), this);
    if (at >= 0)
        deleteEntry(DataItems, at, true, caption);
}

// --- The popup menu.

void TSetGyForm::DspPopup(int list)
{
    TmpList = list;
    const jobs::PopupStates s =
        jobs::DspPopup(static_cast<jobs::EditList>(list), *set_, TmpGyDa.empty(), TmpKoDa.empty());
    LstNew->setEnabled(s.LstNew);
    LstDel->setEnabled(s.LstDel);
    LstCut->setEnabled(s.LstCut);
    LstCopy->setEnabled(s.LstCopy);
    LstInst->setEnabled(s.LstInst);
    LstPast->setEnabled(s.LstPast);
    PopupMenu->popup(QCursor::pos());
}

void TSetGyForm::LstNewClick()
{
    const formkit::LoadingGuard loading(SetFlag);
    if (TmpList == JobList)
        GyNew();
    else if (TmpList == GroupItems)
        GrKoNew();
    else
        DaKoNew();
}

void TSetGyForm::LstDelClick()
{
    const TGyData &job = currentJob();
    if (TmpList == JobList && set_->GyCount > 1)
        deleteEntry(JobList, set_->TmpGyNo, true, QStringLiteral("業務削除"));
    else if (TmpList == GroupItems && job.GrCount > 0)
        deleteEntry(GroupItems, job.TmpGrNo, true, QStringLiteral("グループ項目削除"));
    else if (TmpList == DataItems && job.DaCount > 1)
        deleteEntry(DataItems, job.TmpDaNo, true, QStringLiteral("データ項目削除"));
}

void TSetGyForm::LstCutClick()
{
    TGyData &job = currentJob();
    if (TmpList == JobList && set_->GyCount > 1) {
        TmpGyDa.push(job);
        deleteEntry(JobList, set_->TmpGyNo, false, QString());
    } else if (TmpList == GroupItems && job.GrCount > 0 && job.TmpGrNo >= 0 && job.TmpGrNo < job.GrCount) {
        TmpKoDa.push(job.GrKoDa[job.TmpGrNo]);
        deleteEntry(GroupItems, job.TmpGrNo, false, QString());
    } else if (TmpList == DataItems && job.DaCount > 1 && job.TmpDaNo >= 0 && job.TmpDaNo < job.DaCount) {
        TmpKoDa.push(job.DaKoDa[job.TmpDaNo]);
        deleteEntry(DataItems, job.TmpDaNo, false, QString());
    }
}

void TSetGyForm::LstCopyClick()
{
    TGyData &job = currentJob();
    if (TmpList == JobList && set_->GyCount > 0)
        TmpGyDa.push(job);
    else if (TmpList == GroupItems && job.GrCount > 0 && job.TmpGrNo >= 0 && job.TmpGrNo < job.GrCount)
        TmpKoDa.push(job.GrKoDa[job.TmpGrNo]);
    else if (TmpList == DataItems && job.DaCount > 0 && job.TmpDaNo >= 0 && job.TmpDaNo < job.DaCount)
        TmpKoDa.push(job.DaKoDa[job.TmpDaNo]);
}

void TSetGyForm::LstInstClick()
{
    const bool done = TmpList == JobList
                          ? jobs::InsertFromStack(*set_, TmpGyDa)
                          : jobs::InsertFromStack(currentJob(), TmpList == GroupItems, TmpKoDa);
    if (!done)
        return;
    showAfterListChange(TmpList);
    ChangeFlag = true;
}

void TSetGyForm::LstPastClick()
{
    const bool done = TmpList == JobList
                          ? jobs::OverwriteFromStack(*set_, TmpGyDa)
                          : jobs::OverwriteFromStack(currentJob(), TmpList == GroupItems, TmpKoDa);
    if (!done)
        return;
    showAfterListChange(TmpList);
    ChangeFlag = true;
}

// --- The lists' events.

namespace {

QListWidget *listOf(QObject *watched, std::initializer_list<QListWidget *> lists)
{
    for (QListWidget *list : lists)
        if (watched == list || watched == list->viewport())
            return list;
    return nullptr;
}

} // namespace

bool TSetGyForm::listKeyUp(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyRelease)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Up && key != Qt::Key_Right && key != Qt::Key_Down)
        return false;
    QListWidget *list = listOf(watched, {GMenuList, GroupList, DataList});
    if (list == nullptr || list->currentRow() < 0)
        return false;
    if (list == GMenuList)
        GMenuListClick();
    else if (list == GroupList)
        GroupListClick();
    else
        DataListClick();
    return false;
}

bool TSetGyForm::listMouseDown(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    QListWidget *list = listOf(watched, {GMenuList, GroupList, DataList});
    if (list == nullptr || watched != list->viewport())
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool onRow = list->indexAt(mouse->position().toPoint()).isValid();
    if (mouse->button() == Qt::RightButton) {
        const TGyData &job = currentJob();
        if (list == DataList && GyModeLetter(job.GyMode) == u'B')
            return true;
        if (list == GroupList && job.GrCount > 0 && !job.TmpGrFlg) {
            // The popup acts on the current group item: it becomes the current item.
            GroupList->setCurrentRow(job.TmpGrNo);
            GroupListClick();
        } else if (list == DataList && job.TmpGrFlg) {
            DataList->setCurrentRow(job.TmpDaNo);
            DataListClick();
        }
        DspPopup(list == GMenuList ? JobList : list == GroupList ? GroupItems : DataItems);
        return true;
    }
    if (mouse->button() == Qt::LeftButton && !onRow) {
        // Beside the rows the list's current entry is taken again: so the group and data lists
        // hand the current item to each other without a row being hit.
        reselectCurrent(list);
        return true;
    }
    return !onRow;
}

void TSetGyForm::reselectCurrent(QListWidget *list)
{
    TGyData &job = currentJob();
    if (list == GMenuList) {
        GMenuList->setCurrentRow(set_->TmpGyNo);
        GMenuListClick();
    } else if (list == GroupList) {
        if (job.GrCount <= 0)
            return;
        if (job.TmpGrNo < 0 || job.TmpGrNo >= BoundedCount(job.GrCount, MaxKoCount))
            job.TmpGrNo = 0;
        GroupList->setCurrentRow(job.TmpGrNo);
        GroupListClick();
    } else {
        DataList->setCurrentRow(job.TmpDaNo);
        DataListClick();
    }
}

bool TSetGyForm::listDragDrop(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    QListWidget *list = listOf(watched, {GMenuList, GroupList, DataList});
    if (list == nullptr || watched != list->viewport())
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    TGyData &job = currentJob();
    const int current = list == GMenuList ? set_->TmpGyNo : list == GroupList ? job.TmpGrNo : job.TmpDaNo;
    const int row =
        jobs::GetItemSelect(list->indexAt(QPoint(0, 0)).row() < 0 ? 0 : list->indexAt(QPoint(0, 0)).row(),
                            drop->position().toPoint().y());
    const bool refused = drop->source() != list || (list == DataList && GyModeLetter(job.GyMode) == u'B');
    if (type != QEvent::Drop) {
        if (refused || row == current)
            drop->ignore();
        else
            drop->acceptProposedAction();
        return true;
    }
    // The records move; the model is refilled from them, never moved by the view.
    drop->setDropAction(Qt::IgnoreAction);
    drop->accept();
    if (refused)
        return true;
    bool moved = false;
    if (list == GMenuList)
        moved = jobs::DropJob(*set_, row);
    else
        moved = jobs::DropItem(job, list == GroupList, row);
    if (!moved)
        return true;
    ChangeFlag = true;
    showAfterListChange(list == GMenuList ? JobList : list == GroupList ? GroupItems : DataItems);
    return true;
}
