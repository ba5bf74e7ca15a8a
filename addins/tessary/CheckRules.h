#pragma once

#include "DataType.h"
#include "TessaryPara.h"

#include <QString>

#include <array>
#include <optional>

// What Tessary refuses to hand back: the main form's checks and those of its barcode dialog.
namespace tessary {

// The pages of the main form.
enum Page { DataKindPage = 0, CollationPage = 1, SavePage = 2 };

// The barcodes a dialog edits (SetBarType).
enum class BarRole : char { DataKind = 'K', Source = 'M', Target = 'C' };

// CheckBarDat: the message of a record's first fault in its role, empty when it has none.
// Mode 1:N does not check the source's piece 1 (the count compares whole data).
QString CheckBarDat(const TBarDat &bar, BarRole role, int dousa, const TModel &model);

struct CheckFailure {
    int code = 0;
    QString message;
    int page = DataKindPage;
    QString control; // objectName of the control to focus
    friend bool operator==(const CheckFailure &, const CheckFailure &) = default;
};

// The object names of a save row's edits (row 1 to 16).
QString SaveTopName(int row);
QString SaveLenName(int row);

// CheckData: the first rule the state breaks, in the fixed order of its codes.
std::optional<CheckFailure> CheckData(const TTessaryState &state, const TModel &model);

// The values of the barcode dialog's controls; an empty numeric edit is nullopt.
struct BarDialogInput {
    BarRole role = BarRole::DataKind;
    int partialCount = 0; // "部分照合ﾃﾞｰﾀ数" of the main form
    QString letters;      // what the symbology boxes would store
    std::optional<int> BarMax, BarMin;
    bool dataCheck = false;
    int format = FixedLengthFormat;
    std::optional<int> ChkFldNo, ChkTop;
    QString ChkData;
    std::optional<int> InpDatTop, InpDatLen;
    std::array<std::optional<int>, CmpDataCount> CmpTop{}, CmpLen{}, CmpDno{};
    bool delChar = false;
    QString DelChar;
};

struct BarDialogFailure {
    QString message;
    QString control; // objectName, "BarTypeGB" for the symbology group
    friend bool operator==(const BarDialogFailure &, const BarDialogFailure &) = default;
};

// EndBtnClick's checks, first failure wins.
std::optional<BarDialogFailure> CheckBarDialog(const BarDialogInput &input, const TModel &model);

// Whether a format index lays out data numbers rather than start and length.
inline bool Delimited(int format)
{
    return format != FixedLengthFormat;
}

// Every visible and enabled state of the barcode dialog, derived from its role, the partial count
// and the controls that switch panels.
struct BarDialogLayout {
    bool formatEnabled = false;    // "データフォーマット" list and label
    bool dataCheckShown = false;   // the data-check group
    bool checkNumberShown = false; // its "データＮｏ"
    bool checkTopRight = false;    // position label and edit moved right (delimited)
    bool selectionShown = false;   // "データ選択" panel (data kind)
    QString groupCaption;          // "照合元データ設定", "照合先データ設定" or none
    bool headShown = false;        // "バーコードデータ"
    std::array<bool, CmpDataCount> rowShown{};
    bool rowsByNumber = false; // rows show data numbers (delimited) instead of start and length
    bool delCharShown = false; // "指定文字を削除する"
    bool delCharPanelShown = false;
};
BarDialogLayout LayoutBarDialog(BarRole role, int partialCount, int format, bool dataCheck, bool delChar);

} // namespace tessary
