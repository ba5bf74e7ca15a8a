#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

// The master send dialog: asks for the name the terminal will use and sends the working copy with
// its field list through the communication library.
class TSendMstForm : public QDialog {
    Q_OBJECT

public:
    // comPort, comSpeed: the main menu's port; bhtName: the name proposed; sendFile: the working
    // copy; widths: its field widths, key first.
    TSendMstForm(const QString &comPort, int comSpeed, const QString &bhtName, const QString &sendFile,
                 const std::vector<int> &widths, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *MfNameSE = nullptr;
    QPushButton *SendBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    QString ComPort;
    int ComSpeed = 115200;
    QString BhtFile;
    QString SendFile;
    // The name the send was started with (the editor's BhtName afterwards); empty when none was.
    QString SentName;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void MfNameSEChange();
    void SendBtnClick();
    void CancelBtnClick();

private:
    std::vector<int> widths_;
    bool typing_ = false;
};
