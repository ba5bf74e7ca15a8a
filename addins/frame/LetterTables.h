#pragma once

#include <QChar>
#include <QString>

#include <array>

// The data-type letters of a data-kind item and the data-check modes of a barcode, shared by the
// programs that have them.
namespace addins {

struct DataTypeInfo {
    char letter;
    QString caption; // list item
    int fixedDigits; // 0: the operator sets the digits; else minimum and maximum are both this
};
inline constexpr int DataTypeCount = 7;

// By list index: A 文字列, B 数字(0詰め表示), C 数字(0ｻﾌﾟﾚｽ表示), W 日付(YYYY/MM/DD) 10 digits,
// X 日付(YY/MM/DD) 8, Y 日付(MM/DD) 5, Z 時刻(HH:MM) 5.
const std::array<DataTypeInfo, DataTypeCount> &DataTypeTable();
// The list index of a letter; any other letter is 0.
int DataTypeIndex(QChar letter);
// The letter of a list index; any other index is "A".
QChar DataTypeLetter(int index);
// The fixed digit count of a list index, 0 for the types without one (and for indexes outside).
int DataTypeFixedDigits(int index);

// BChkMode: 0 no data check, 1 an input error when the check data differs, 2 when it is equal.
enum DataCheckMode { NoDataCheck = 0, ErrorWhenUnequal = 1, ErrorWhenEqual = 2 };
// The list items of the mode, by list index (mode - 1).
const std::array<QString, 2> &DataCheckModeItems();

struct DataCheck {
    int BChkMode = NoDataCheck;
    int BChkDNo = 1;
    int BChkTop = 1;
    QString BChkStr;
    friend bool operator==(const DataCheck &, const DataCheck &) = default;
};

// What the dialog stores: with its data-check box ticked the list index + 1 and the fields as
// given; without it mode 0 with number 1, start 1 and no check string.
DataCheck DataCheckFromDialog(bool used, int listIndex, int dataNo, int top, const QString &text);
// The list index the dialog shows for a stored mode (0 for a mode outside 1..2).
int DataCheckListIndex(int mode);

} // namespace addins
