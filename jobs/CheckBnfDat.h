#pragma once

#include <QChar>
#include <QString>

#include <optional>

#include "jobs/BnfFile.h"
#include "jobs/DataType.h"

// Validation of a set before it is saved or sent. The first rule broken wins; the editor then
// shows the page, job and item named in the error, focuses the control (its objectName) and shows
// the message in one warning box. Jobs validated before the failure keep what validation does on
// its way: file, receive and program names upper-cased, collected-data layouts recomputed.

// Items of the page selector DspList.
inline constexpr int BasePage = 0; // "基本設定"
inline constexpr int JobPage = 1;  // "動作設定"

// The texts and choices of the controls the rules look at, as the form holds them when the
// operator saves or sends: the base page and the job page with its current job and item.
struct BnfShownControls {
    QString APOffTimeNE;
    QString Bar2ReadNE;
    QString DspErrTimeNE;
    QString BzHzNE; // the buzzer edits show the event selected in BzList
    QString BzCountNE;
    QString BzOnTimeNE;
    QString BzOffTimeNE;
    QString GNameSE;
    int GModeCB = 0; // item index (job mode)
    QString KNameSE;
    QString KDLenNE;
    int KDTypeCB = 0; // item index (data type)
    QString KDMaxNE;
    QString KDMinNE;
};

struct BnfInputError {
    QString message;
    QString caption = QStringLiteral("入力エラー");
    int page = BasePage;
    int job = -1;       // the job to show; -1 for the base page
    int item = -1;      // the item to show; -1 keeps the job's current item
    bool group = false; // the job page shows a group item (the job's TmpGrFlg), else a data item
    QString control;    // objectName of the control to focus
};

// Checks the shown controls (the base page's first, whatever page is shown), then every job of
// the set and its items in order. Nothing when the set may be saved and sent.
std::optional<BnfInputError> CheckBnfDat(TSetData &set, const BnfShownControls &shown,
                                         const AddInKnown &addInKnown);

// The rules of one item of a job in mode A, B or J; group: a group item, else a data item.
// mstNum: the number of master definitions the item may refer to.
std::optional<BnfInputError> ChkKoDa(QChar mode, int job, bool group, const TKoData &item, int itemIndex,
                                     int mstNum);
