#include "masters/tables/access/AccessColumns.h"

#include "masters/tables/access/AccessValues.h"

namespace masters::tables::access {

ColumnPlan planColumn(int type, bool calculated, std::optional<int> resultType)
{
    if (calculated) {
        if (!resultType)
            return {ColumnRead::Unreadable, type, false, QStringLiteral("集計型(結果の型が不明)")};
        const int result = *resultType;
        if (result == TextType || result == MemoType || isFixedValueType(result))
            return {ColumnRead::Calculated, result, isNumericType(result), QString()};
        return {ColumnRead::Unreadable, result, false,
                QStringLiteral("集計型(結果の型: %1)").arg(columnTypeName(result))};
    }
    switch (type) {
    case BooleanType:
    case ByteType:
    case IntegerType:
    case LongType:
    case CurrencyType:
    case SingleType:
    case DoubleType:
    case DecimalType:
    case TextType:
    case MemoType:
        return {ColumnRead::Library, type, isNumericType(type), QString()};
    case DateTimeType:
    case GuidType:
    case LargeNumberType:
    case ExtendedDateTimeType:
        return {ColumnRead::Stored, type, isNumericType(type), QString()};
    // Pictures, documents and attachments have no text a master field could hold.
    case BinaryType:
    case ObjectType:
    case ComplexType:
        return {ColumnRead::NoText, type, false, QString()};
    default:
        return {ColumnRead::Unreadable, type, false, columnTypeName(type)};
    }
}

QString columnTypeName(int type)
{
    switch (type) {
    case BooleanType:
        return QStringLiteral("Yes/No型");
    case ByteType:
        return QStringLiteral("数値型(バイト型)");
    case IntegerType:
        return QStringLiteral("数値型(整数型)");
    case LongType:
        return QStringLiteral("数値型(長整数型)");
    case CurrencyType:
        return QStringLiteral("通貨型");
    case SingleType:
        return QStringLiteral("数値型(単精度浮動小数点型)");
    case DoubleType:
        return QStringLiteral("数値型(倍精度浮動小数点型)");
    case DateTimeType:
        return QStringLiteral("日付/時刻型");
    case BinaryType:
        return QStringLiteral("バイナリ型");
    case TextType:
        return QStringLiteral("テキスト型");
    case ObjectType:
        return QStringLiteral("OLEオブジェクト型");
    case MemoType:
        return QStringLiteral("メモ型");
    case GuidType:
        return QStringLiteral("数値型(レプリケーションID型)");
    case DecimalType:
        return QStringLiteral("数値型(十進型)");
    case ComplexType:
        return QStringLiteral("添付ファイル型");
    case LargeNumberType:
        return QStringLiteral("大きい数値型");
    case ExtendedDateTimeType:
        return QStringLiteral("日付/時刻拡張型");
    default:
        return QStringLiteral("不明な型(0x%1)")
            .arg(QString::number(type, 16).toUpper().rightJustified(2, u'0'));
    }
}

QString unreadableColumnText(const QString &table, const QString &column, const QString &typeName)
{
    return QStringLiteral("テーブル「%1」の項目「%2」はデータ型「%3」を読めないため、インポートできません。")
        .arg(table, column, typeName);
}

QString unreadableValueText(const QString &table, const QString &column)
{
    return QStringLiteral("テーブル「%1」の項目「%2」の値を読めません。").arg(table, column);
}

} // namespace masters::tables::access
