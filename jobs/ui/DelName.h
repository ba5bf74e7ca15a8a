#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// Picks the name of the job or item to delete; DelNo is its row, -1 when nothing was picked.
class TDelNameForm : public QDialog {
    Q_OBJECT

public:
    TDelNameForm(const QString &caption, const QStringList &names, QWidget *parent = nullptr);

    int DelNo = -1;
    QListWidget *DelList = nullptr;
    QPushButton *DelBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private slots:
    void DelBtnClick();
    void CancelBtnClick();
};
