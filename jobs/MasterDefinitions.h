#pragma once

// Master definitions and the items that refer to them, without widgets: use counts derived from the
// items, the definition dialog's working copy with its add, overwrite and delete, the references
// that follow a deleted master's successors, and the values and checks of the master reference
// dialog of one item.

#include <QString>

#include <array>
#include <optional>

#include "jobs/DataType.h"

namespace masterdef {

// One item of a set: job index, group or data list, index in that list. The default names none.
struct ItemRef {
    int job = -1;
    bool group = false;
    int index = -1;
    friend bool operator==(const ItemRef &, const ItemRef &) = default;
};

// The reference fields of a master record: QDNum counts the key too, and is brought into 1..6 first.
int RefFieldCount(const TMstDat &master);

// The items of the set's jobs that refer to master number (1-based), leaving out `except`. Only
// the items a job holds (below its counts) of jobs that have items (modes A, B, J) count.
int MasterUseCount(const TSetData &set, int number, ItemRef except = {});
// Every master's UseCount from the items.
void CountMasterUses(TSetData &set);

// A master definition as the definition dialog enters it.
struct MasterFields {
    QString MFName;
    int KeySize = 1;
    int QDefNCB = 0;                      // reference fields - 1 (0..4)
    std::array<int, MaxQDCount> QDSize{}; // the first QDefNCB + 1 are used
};

// The definition dialog's names that can never be a master file: programs, the editor's own files.
bool ReservedMasterName(const QString &name);

// The masters as the reference dialog and the definition dialog edit them. The set's masters are
// replaced only by applyTo; the copy remembers deleted masters so the items' references can follow.
class MasterCopy {
public:
    explicit MasterCopy(const TSetData &set);

    const std::array<TMstDat, MaxMstCount> &MstDat0() const { return mstDat_; }
    int MstNum0() const { return mstNum_; }
    // The index of the master with exactly this name; -1 when none.
    int find(const QString &name) const;
    // Appends a new master; its index, or -1 when the set holds 20 already.
    int add(const MasterFields &fields);
    // Stores the fields (not the name) into master index: SetMstDat.
    void store(int index, const MasterFields &fields);
    // Removes master index; the later ones move up one place.
    bool remove(int index);
    // Items of set referring to master index of the copy, leaving out `except`.
    int useCount(const TSetData &set, int index, ItemRef except) const;
    // The copy's 1-based number of a reference the set's items hold; 0 for a deleted master or a
    // number that named no master.
    int renumbered(int kmfNo) const;
    // Puts the copy into the set and moves every item reference along with its master: references
    // to a deleted master become 0, later ones follow their definitions.
    void applyTo(TSetData &set) const;
    // The same for an item or a job held outside the set (the editor's cut/copy stacks), so that a
    // later paste refers to the master it meant, or to none when that master went.
    void follow(TKoData &item) const;
    void follow(TGyData &job) const;

private:
    std::array<TMstDat, MaxMstCount> mstDat_{};
    int mstNum_ = 0;
    int originalNum_ = 0;
    std::array<int, MaxMstCount + 1> numberOf_{}; // original number -> number in the copy, 0 gone
};

// A selection of the reference dialog after master `deleted` went: none when it was the one.
int FollowSelection(int sel, int deleted);

// The first failing check of the definition dialog's "追加／変更": its message and control.
struct InputFault {
    QString message;
    QString control; // objectName to focus
    friend bool operator==(const InputFault &, const InputFault &) = default;
};
// texts: the name, the key width and the five width edits as they stand; shown: QDefNCB's index.
std::optional<InputFault> CheckMasterFields(const QString &name, const QString &keySize, int shown,
                                            const std::array<QString, MaxQDCount> &sizes);
// The fields from the edits; a width that is not a number is 1.
MasterFields MasterFieldsFrom(const QString &name, const QString &keySize, int shown,
                              const std::array<QString, MaxQDCount> &sizes);
// What the definition dialog shows for a master: QDefNCB index and the widths in use.
MasterFields MasterFieldsOf(const TMstDat &master);

// The reference dialog's controls as values. An index of -1 is no selection.
struct MasterRefView {
    bool SetMKeyCheck = false;
    QString MKeyTopNE;
    QString MKeyLenNE;
    int Sel = -1;
    bool MstChk = false;
    bool DspStrChk = false;
    int QD00CB = -1;
    int QDCountCB = 0;
    std::array<int, MaxQDCount> QDCB{-1, -1, -1, -1, -1};
    std::array<int, MaxQDCount> SaveCB{-1, -1, -1, -1, -1};
    friend bool operator==(const MasterRefView &, const MasterRefView &) = default;
};

// A stored 0-based choice in a box of count entries: lowered to the last entry, none when negative
// or when the box is empty.
int Lowered(int index, int count);

// GetMstDat: what the dialog shows for item, index itemIndex of a list of listCount items, with
// the masters of copy. SaveQDNum is brought into what the chosen master offers, in the item.
MasterRefView GetMstDat(TKoData &item, int itemIndex, int listCount, const MasterCopy &copy);
// GetMaster after the chosen master changed: every reference box keeps its choice lowered to the
// fields the master offers.
void FitToMaster(MasterRefView &view, const MasterCopy &copy);

// The checks of "確定" in order.
std::optional<InputFault> CheckMasterRef(const MasterRefView &view);
// PutMstDat: the dialog's values into item (index itemIndex of its list).
void PutMstDat(const MasterRefView &view, TKoData &item, int itemIndex);

// A digit typed at the end of the partial key's start: refused when the result is not a number, or
// is above 3500 and other than 9999.
bool MKeyTopAccepts(const QString &text, QChar digit);

} // namespace masterdef
