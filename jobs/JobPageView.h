#pragma once

// What the job page "動作設定" shows for a job and its current item, apart from the widgets: which
// control groups each mode shows, how an item and its data type set the edits' limits, labels and
// default-value controls, and where Enter moves the focus. Showing also normalises the records the
// way the terminal expects them (mode B's two items, limits cut to their type, a move target within
// its list); the form applies the view to its controls and writes nothing itself.

#include "common/NEditFilter.h"
#include "jobs/DataType.h"

#include <QString>
#include <QStringList>

// The item part of the page; names are the controls'.
struct ItemView {
    QString KNameSE;
    int KNFColorCB = 0;
    int KNBColorCB = 0;
    int KDSizeCB = 0;
    int KDFColorCB = 0;
    int KDBColorCB = 0;
    bool KDSaveChk = false;
    QString KDLenLabel;
    int KDInpCB = 0;
    bool KDInpVisible = true; // KDInpLabel and KDInpCB
    bool KDInpEnabled = true;
    bool SetBarCodeVisible = false;
    int KDTypeCB = 0;
    bool KDTypeEnabled = true;
    bool DoubleVisible = false; // DoubleLabel and DoubleChkCB
    int DoubleChkCB = 0;
    bool KDNextFilled = false; // KDNextCB gets KDNextItems (not in mode J)
    QStringList KDNextItems;
    int KDNextCB = 0;
    QString KDNextTmNE;
    bool UseMasterChk = false;
    bool SetMasterEnabled = false;
    bool MstGroupVisible = true;

    // Set by the data type.
    QStringList DefaultItems;
    int DefaultCB = 0;
    bool AddNumVisible = false;
    bool AddNumChk = false;
    NEditSettings KDLenNE;
    QString KDLenText;
    bool KDLenEnabled = true;
    bool LimitsVisible = true; // InpLimitLabel, MaxLabel, KDMaxNE, MinLabel, KDMinNE
    QString MaxLabel;
    QString MinLabel;
    NEditSettings KDMaxNE;
    NEditSettings KDMinNE;
    QString KDMaxText;
    QString KDMinText;
    bool DefaultDatSEVisible = false;
    bool DefaultDatNEVisible = false;
    int DefaultDatSEWidth = 280;
    int DefaultDatSEMaxLength = 64;
    bool DefaultDatSEHiragana = false; // else the input method is off
    NEditSettings DefaultDatNE;
    QString DefaultText;
};

struct JobPageView {
    QString GNameSE;
    int GModeCB = 0;
    bool SaveGroup = false;
    QString FNameSE;
    bool AddIDChkCB = false;
    int TStampCB = 0;
    int TSLocCB = 0;
    bool TSLocVisible = false;
    bool DspTotalVisible = false;
    bool DspTotalChk = false;
    bool ProgVisible = false; // ProgLabel, PNameSE, AddInSetBtn
    QString PNameSE;
    bool RcvProtoVisible = false;
    QString RNameSE;
    int RcvProtoCB = 0;
    bool KoNameGroup = false;
    bool KoDataGroup = false;
    bool KDSaveChkVisible = false;
    bool InpDefPanel = false;
    bool MstGroup = false;
    bool GroupPanel = false; // GrPanel and GroupList
    bool DataPanel = false;  // DaPanel and DataList
    QStringList GMenuItems;
    int GMenuRow = 0;
    QStringList GroupItems;
    QStringList DataItems;
    int GroupRow = -1;
    int DataRow = -1;
    bool HasItem = false; // modes A, B and J show an item
    ItemView Item;
};

// Shows job set.TmpGyNo (bounded to the set) with its current item, normalising the records on the way.
JobPageView DspGyData(TSetData &set);

// The data type rules of an item shown as item index of the group list (group) or the data list
// of job: fills the type part of view and normalises the item. showing: called while showing the
// item, false right after the operator changed its type.
void ChangeType(TKoData &item, bool showing, const TGyData &job, bool group, int index, ItemView &view);

// The lines of KDNextCB for item index of the group or data list: the items after it, then the
// closing line. KDNext indexes these lines.
QStringList GetKDNext(const TGyData &job, bool group, int index);

// Where Enter moves the focus from control on the job page (objectNames); empty: it stays. text is
// the control's own text (an empty name or file name keeps the focus).
QString P2KeyDown(const QString &control, const QString &text, const TGyData &job, const ItemView &item);
