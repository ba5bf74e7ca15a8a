#pragma once

#include "DataType.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <array>
#include <optional>

// Everything Marrent's main form edits, as plain values: what the parameter strings hold, what the
// validation checks and what the result page and the screen preview are built from. A numeric edit
// that is empty or unreadable is held as 0.
namespace marrent {

inline constexpr int ResultFieldCount = 8;

struct ResultField {
    char code = 'b';
    int length = 8;
    friend bool operator==(const ResultField &, const ResultField &) = default;
};

struct MarrentSettings {
    bool picking = false; // else inspection
    bool remoteMaster = false;

    bool DKUsed = false;
    QString DKName;
    int DKType = 0;      // list index of the data types
    bool DKWide = false; // font "横倍"
    int DKMax = 1;
    int DKMin = 1;
    bool DKBarUsed = false;
    TBarDat DKBarDat;
    bool DKMstUsed = false;
    QString DKMstFile;
    QString DKMstField;
    bool DKMstError = false; // "ﾏｽﾀｰﾃﾞｰﾀにない場合ｴﾗｰ"

    bool DpUsed = false;
    QString DpName;
    bool DpBarUsed = false;
    TBarDat DpBarDat;

    QString PKMstFile;
    int DpLen = 8;
    int SCLen = 13;
    int SNameLen = 40;
    int PKCountLen = 6;

    TBarDat SCBarDat;
    bool InpCount = false;
    int InpCountDigits = 1;

    bool SendUsed = false;
    QString SendFile;
    int SendFieldsIndex = 0; // field count - 1
    int SendFType = 0;       // 0 "終了情報", 1 "処理明細"
    std::array<ResultField, ResultFieldCount> SendDat = DefaultResultFields();
    int SendDel = 2; // 0 "消去しない", 1 "確認画面表示", 2 "消去する"

    static std::array<ResultField, ResultFieldCount> DefaultResultFields();
    friend bool operator==(const MarrentSettings &, const MarrentSettings &) = default;
};

// A new form's settings on a model: the form's initial values with the model's field lengths.
MarrentSettings DefaultSettings(const ModelLimits &limits);

struct ParaStrings {
    QByteArray Para0;
    QByteArray Para1;
};

// SavePara's strings, each of the model's length, Para0 ending in the marker "P0".
ParaStrings EncodeParas(const MarrentSettings &s, const ModelLimits &limits);
// LoadPara's reading of the strings (SetCount 1): every value held to what its control takes.
MarrentSettings DecodeParas(const ParaStrings &paras, const ModelLimits &limits);

// The marker position of Para0 on a model (1-based).
inline int MarkerPosition(const ModelLimits &limits)
{
    return limits.paraLength - 1;
}

// What the form brings up to date before it saves: the fixed digits of a date or time type, the
// quantity digits held to the count field length, and the result fields refreshed from their
// sources.
void PrepareForSave(MarrentSettings &s);

} // namespace marrent
