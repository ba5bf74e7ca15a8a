#pragma once

#include "DataType.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// What Tessary's form edits, held apart from the widgets, and its two parameter strings: Para0
// (468 bytes, 368 on models 300 and 500, marker "D1" in the last two) and Para1 (400 bytes).
namespace tessary {

inline constexpr int SaveFieldMax = 16;
inline constexpr int Para1Length = 400;

// Operation modes of "動作モード" by list index.
enum Dousa { OneToOne = 0, OneToN = 1 };

// One result field: its source code letter, start and length (0 while its edit is empty).
struct TSaveDat {
    char code = 0;
    int top = 0;
    int len = 0;
    friend bool operator==(const TSaveDat &, const TSaveDat &) = default;
};

// The controls' values. A numeric edit that may be left empty is an optional.
struct TTessaryState {
    // "データ区分"
    bool DKubun = false;
    QString DKName;
    int DKType = 0; // data type list index
    int DKFont = 0; // 0 "標準", 1 "横倍"
    std::optional<int> DKMax = 16;
    std::optional<int> DKMin = 1;
    bool DKBar = false;
    bool DKMst = false;
    QString DKMstFile;
    QString DKMstField;
    bool DKMstErr = false;
    // "照合条件"
    int Dousa = OneToOne;
    int CmpDatCnt = 0;
    bool SuryouInput = false;
    QString MKName;
    bool MKMst = false;
    std::optional<int> SerchDatTop = 1;
    std::optional<int> SerchDatLen = 10;
    QString MKMstFile;
    QString MKMstField;
    QString SKName;
    // The three barcodes: data kind, collation source, collation target.
    TBarDat DKBarDat;
    TBarDat MKBarDat;
    TBarDat CKBarDat;
    // "データ保存"
    bool DSave = false;
    QString SaveFile;
    int SaveFields = 2; // 1 to 16
    int SaveType = 0;   // list index 0 to 3 ("1" to "4")
    int TStamp = 0;     // 0 none, 1 date, 2 time, 3 date and time
    std::array<TSaveDat, SaveFieldMax> SaveDat{};

    friend bool operator==(const TTessaryState &, const TTessaryState &) = default;
};

// The state of a job without parameters on the model: the target barcode reads up to BarMaxLen
// digits, the others keep the initial record; the save fields are corrected.
TTessaryState DefaultState(const TModel &model);

// Which layout Para0 holds on the model: "D1", the earlier "D0" (one target delete character at
// most), or none (defaults).
enum class ParaLayout { None, D0, D1 };
ParaLayout LayoutOf(const QByteArray &para0, const TModel &model);

// LoadPara: the state of the strings on the model; defaults when Para0's marker is neither. Every
// value is brought into what the form shows: digits to the model's limits, the save type to the
// mode's list, the save fields to the allowed sources.
TTessaryState LoadState(const QByteArray &para0, const QByteArray &para1, const TModel &model);

struct TessaryPara {
    QByteArray Para0;
    QByteArray Para1;
};

// SavePara: the two strings of the state. The state is brought into the same bounds first (save
// fields corrected, formats of a whole-data collation fixed length), so the strings never carry
// what the form could not show.
TessaryPara SaveState(const TTessaryState &state, const TModel &model);

// The data-kind page's digit rule: a date or time type fixes both digit counts; other types keep
// them within 1 to 4 × NameMax with the smallest at most the largest.
void ApplyDataKindDigits(TTessaryState &state, const TModel &model);

// The state as SaveState writes it: what a load of its strings gives back.
TTessaryState NormalisedForSave(TTessaryState state, const TModel &model);

} // namespace tessary
