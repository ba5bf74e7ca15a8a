#include "ResultFields.h"

#include <algorithm>

namespace marrent {

namespace {

struct CodeInfo {
    char code;
    const char16_t *name;
    int length; // 0: taken from the settings
};

constexpr CodeInfo Codes[] = {
    {'D', u"データ区分", 0},
    {'N', u"伝票区分", 0},
    {'C', u"商品コード", 0},
    {'S', u"商品情報", 0},
    {'K', nullptr, 0},
    {'a', u"作業日付A(YYYY/MM/DD)", 10},
    {'b', u"作業日付B(YY/MM/DD)", 8},
    {'c', u"作業日付C(MM/DD)", 5},
    {'d', u"作業日付D(YYYYMMDD)", 8},
    {'e', u"作業日付E(YYMMDD)", 6},
    {'f', u"作業日付F(MMDD)", 4},
    {'g', u"ﾀｲﾑｽﾀﾝﾌﾟ時刻A(HH:MM:SS)", 8},
    {'h', u"ﾀｲﾑｽﾀﾝﾌﾟ時刻B(HHMMSS)", 6},
    {'X', u"開始時刻A(HH:MM:SS)", 8},
    {'x', u"開始時刻B(HHMMSS)", 6},
    {'Y', u"終了時刻A(HH:MM:SS)", 8},
    {'y', u"終了時刻B(HHMMSS)", 6},
    {'Z', u"作業時間(999999秒)", 6},
};

const CodeInfo *find(QChar code)
{
    for (const CodeInfo &info : Codes)
        if (QChar(info.code) == code)
            return &info;
    return nullptr;
}

int atLeastOne(int value)
{
    return value > 0 ? value : 1;
}

} // namespace

QString GetSendFDef(const MarrentSettings &s, int fileType)
{
    QString codes;
    if (s.DKUsed)
        codes += u'D';
    if (s.DpUsed)
        codes += u'N';
    codes += fileType == 1 ? QStringLiteral("CSKabcdefgh") : QStringLiteral("abcdefXxYyZ");
    return codes;
}

int SendFieldLength(const MarrentSettings &s, QChar code)
{
    switch (code.unicode()) {
    case 'D':
        return atLeastOne(s.DKMax);
    case 'N':
        return atLeastOne(s.DpLen);
    case 'C':
        return atLeastOne(s.SCLen);
    case 'S':
        return atLeastOne(s.SNameLen);
    case 'K':
        return atLeastOne(s.PKCountLen);
    default:
        break;
    }
    const CodeInfo *info = find(code);
    return info ? info->length : 1;
}

QString SendFieldName(const MarrentSettings &s, QChar code)
{
    if (code == u'D' && !s.DKName.isEmpty())
        return s.DKName;
    if (code == u'N' && !s.DpName.isEmpty())
        return s.DpName;
    if (code == u'K')
        return s.picking ? QStringLiteral("ピッキング数") : QStringLiteral("検品数");
    const CodeInfo *info = find(code);
    return info && info->name ? QString::fromUtf16(info->name) : QString();
}

QStringList GetSDefStr(const MarrentSettings &s, const QString &codes)
{
    QStringList names;
    for (QChar code : codes)
        names << SendFieldName(s, code);
    return names;
}

void SetSendField(MarrentSettings &s)
{
    const QString codes = GetSendFDef(s, s.SendFType);
    for (ResultField &field : s.SendDat) {
        if (!codes.contains(QChar(field.code)))
            field.code = char(codes.at(0).unicode());
        field.length = SendFieldLength(s, QChar(field.code));
    }
}

void ChooseSendField(MarrentSettings &s, int row, int listIndex)
{
    const QString codes = GetSendFDef(s, s.SendFType);
    if (row < 0 || row >= ResultFieldCount || listIndex < 0 || listIndex >= codes.size())
        return;
    ResultField &field = s.SendDat[std::size_t(row)];
    field.code = char(codes.at(listIndex).unicode());
    field.length = SendFieldLength(s, QChar(field.code));
}

int SendFieldListIndex(const MarrentSettings &s, int row)
{
    if (row < 0 || row >= ResultFieldCount)
        return 0;
    const int index = int(GetSendFDef(s, s.SendFType).indexOf(QChar(s.SendDat[std::size_t(row)].code)));
    return std::max(index, 0);
}

} // namespace marrent
