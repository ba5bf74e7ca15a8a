#pragma once

// Operations on the editor's three lists (jobs, group items, data items) apart from the widgets:
// moving an entry, inserting, overwriting, adding and deleting, each with the current entry it
// leaves; the bounded cut/copy stacks; the popup menu's enabling; the row under the pointer; and
// the checks of the add-job dialog.

#include "jobs/DataType.h"

#include <QString>

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

namespace jobs {

// Moves entry from to place to (both within count), shifting the ones between. False when it
// stays where it was.
template <typename T, std::size_t N> bool moveEntry(std::array<T, N> &entries, int count, int from, int to)
{
    count = BoundedCount(count, int(N));
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return false;
    T moved = std::move(entries[from]);
    if (to < from)
        std::move_backward(entries.begin() + to, entries.begin() + from, entries.begin() + from + 1);
    else
        std::move(entries.begin() + from + 1, entries.begin() + to + 1, entries.begin() + from);
    entries[to] = std::move(moved);
    return true;
}

// Inserts entry at place at (0..count) when the list is not full; the later entries move up.
template <typename T, std::size_t N> bool insertEntry(std::array<T, N> &entries, int &count, int at, T entry)
{
    count = BoundedCount(count, int(N));
    if (count >= int(N))
        return false;
    at = std::clamp(at, 0, count);
    std::move_backward(entries.begin() + at, entries.begin() + count, entries.begin() + count + 1);
    entries[at] = std::move(entry);
    ++count;
    return true;
}

// Removes entry at; the later entries move down and the freed last place is cleared.
template <typename T, std::size_t N> bool deleteEntry(std::array<T, N> &entries, int &count, int at)
{
    count = BoundedCount(count, int(N));
    if (at < 0 || at >= count)
        return false;
    std::move(entries.begin() + at + 1, entries.begin() + count, entries.begin() + at);
    --count;
    entries[count] = T{};
    return true;
}

// The cut/copy stack: at most 20 entries, a push onto a full stack drops the oldest.
template <typename T> class EntryStack {
public:
    static constexpr int Capacity = 20;
    void push(const T &entry)
    {
        if (int(entries_.size()) >= Capacity)
            entries_.pop_front();
        entries_.push_back(entry);
    }
    std::optional<T> pop()
    {
        if (entries_.empty())
            return std::nullopt;
        T top = std::move(entries_.back());
        entries_.pop_back();
        return top;
    }
    bool empty() const { return entries_.empty(); }
    int size() const { return int(entries_.size()); }
    // The top index as the editor counts it: -1 when empty.
    int top() const { return size() - 1; }
    void clear() { entries_.clear(); }
    // Calls f on every held entry, oldest first (entries held while the set changes under them).
    template <typename F> void forEach(F f)
    {
        for (T &entry : entries_)
            f(entry);
    }

private:
    std::deque<T> entries_;
};

enum class EditList { Jobs = 0, Groups = 1, Data = 2 };

// The row under a pointer at y in a list of 16-pixel rows whose first visible row is topIndex;
// outside the list's height the first visible row.
int GetItemSelect(int topIndex, int y);

struct PopupStates {
    bool LstNew = true;
    bool LstDel = false; // "削除"
    bool LstCut = false;
    bool LstCopy = false;
    bool LstInst = false; // "挿入"
    bool LstPast = false; // "上書き"
    friend bool operator==(const PopupStates &, const PopupStates &) = default;
};
PopupStates DspPopup(EditList list, const TSetData &set, bool jobStackEmpty, bool itemStackEmpty);

// The current job's current group or data item (nothing without one).
TKoData *currentItem(TGyData &job);

// Adding: the new entry is appended and becomes current. False at the list's limit.
bool AddJob(TSetData &set, const TAddGyDat &add);
bool AddItem(TGyData &job, const TAddKoDat &add);

// Deleting entry at, with the current entry it leaves: the jobs' current entry stays at the place
// (the new last when it was the last); without group items the data item becomes current.
// False when the list is at its minimum (1 job, 0 group items, 1 data item).
bool DeleteJob(TSetData &set, int at);
bool DeleteGroupItem(TGyData &job, int at);
bool DeleteDataItem(TGyData &job, int at);

// Dropping the current entry on row (cut to the last entry); true when it moved. The moved entry
// stays current: a moved job shows its data item, a moved item is its job's current item.
bool DropJob(TSetData &set, int row);
bool DropItem(TGyData &job, bool group, int row);

// Inserting before, or overwriting, the current entry of a list with entry; it becomes current.
// False when the list is full (insert) or has no entry to overwrite.
bool InsertJob(TSetData &set, const TGyData &entry);
bool OverwriteJob(TSetData &set, const TGyData &entry);
bool InsertItem(TGyData &job, bool group, const TKoData &entry);
bool OverwriteItem(TGyData &job, bool group, const TKoData &entry);

// Insert or overwrite with the stack's top, which is taken only when the operation is done.
bool InsertFromStack(TSetData &set, EntryStack<TGyData> &stack);
bool OverwriteFromStack(TSetData &set, EntryStack<TGyData> &stack);
bool InsertFromStack(TGyData &job, bool group, EntryStack<TKoData> &stack);
bool OverwriteFromStack(TGyData &job, bool group, EntryStack<TKoData> &stack);

// The add-job dialog's "追加" as the operator filled it.
struct AddGyFields {
    QString GNameSE;
    int GModeCB = 0;
    QString PNameSE;
    QString RNameSE;
};
struct AddGyFault {
    QString message;
    QString control;
    friend bool operator==(const AddGyFault &, const AddGyFault &) = default;
};
// The first check "追加" fails, before the hand-off of a mode X job.
std::optional<AddGyFault> AddGyCheck(const AddGyFields &fields);
// A program name the hand-off takes: 5 bytes or more and ".PD4" in it, after upper-casing.
bool AddInNameValid(const QString &name);
// The add-in data of a job before any hand-off.
void ResetAddInData(TAddGyDat &add);

} // namespace jobs
