#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

#include "jobs/DataType.h"
#include "platform/UiService.h"

// The job settings file: a header line, the master lines, then per job its job line and its item
// or add-in lines, every line 500 bytes of Shift-JIS text and CR LF. The codec works on the set and
// on the base page's values, not on forms; the editor turns a result into its message box.

// The values of the base settings page that live in its controls, as the controls hold them.
// Default-constructed, they are the values of a new set.
struct BasePageValues {
    QString APOffTime = QStringLiteral("30");  // APOffTimeNE
    QString DspErrTime = QStringLiteral("20"); // DspErrTimeNE
    QString Bar2Read = QStringLiteral("30");   // Bar2ReadNE
    int BarSMode = 0;                          // BarSModeCB item
    QStringList DataFtpItems = ComModeNames(); // DataFtpCB items
    int DataFtp = 1;                           // DataFtpCB item
    int SendDel = 0;                           // SendDelCB item
    bool SubMenu = true;                       // SubMenuChk
    bool ShoriMenu = true;                     // ShoriMenuChk
    bool EditMode = true;                      // EditModeChk
};

enum class BnfResult {
    Ok,
    CannotCreate,    // the file could not be created
    WriteFailed,     // a write, flush or commit failed; a file of that name is left as it was
    InvalidSet,      // a value the file cannot carry (counts, master widths above 99); nothing written
    CannotOpen,      // the file could not be opened
    Empty,           // an empty file
    ReadFailed,      // the first line could not be read; the set is unchanged
    ReadFailedReset, // a later line could not be read; the set has been reset to a new one
    NotBht800,       // the marker is not that of this terminal family
    Corrupt,         // an unknown marker version, or counts beyond what a set holds; the set is unchanged
    MissingJobs,     // fewer jobs than the header counts; what was read stays, and no message is shown
};

struct BnfMessage {
    QString text; // empty: nothing to show
    QString caption;
    platform::MsgIcon icon = platform::MsgIcon::None;
};

// The message box the editor shows for a result.
BnfMessage BnfResultMessage(BnfResult result);

// Items of the communication mode list: the three modes, then each add-in communication program
// whose name is longer than 4 bytes and ends in ".PD4".
QStringList DataFtpItems(const QString &comPrg1, const QString &comPrg2);

// Whether a job's add-in program has an entry in the add-in list (GetAddInSetPrg gives a name).
using AddInKnown = std::function<bool(const QString &pName)>;

// Writes the set. Before writing it brings the set up to what the file carries: layouts and screen
// lines recomputed, comparison kinds derived, buzzer values corrected, mode J jobs without group
// items, add-in jobs without a listed program without add-in lines.
BnfResult SaveBnf(const QString &path, TSetData &set, const BasePageValues &base,
                  const AddInKnown &addInKnown);
BnfResult SaveBnf(QIODevice &device, TSetData &set, const BasePageValues &base, const AddInKnown &addInKnown);
// The check SaveBnf makes before it writes anything: Ok or InvalidSet.
BnfResult CheckBnfWritable(const TSetData &set);

// Reads a file into the set and the base page values.
BnfResult OpenBnf(const QString &path, TSetData &set, BasePageValues &base);
BnfResult OpenBnf(QIODevice &device, TSetData &set, BasePageValues &base);

// The readers behind OpenBnf: device stands after the header line, header holds it (without its
// line end). They differ only in their item reader.
BnfResult GetGyBnf800(QIODevice &device, const QByteArray &header, TSetData &set, BasePageValues &base);
BnfResult GetGyBnf801(QIODevice &device, const QByteArray &header, TSetData &set, BasePageValues &base);
