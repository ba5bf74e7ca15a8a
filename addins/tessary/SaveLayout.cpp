#include "SaveLayout.h"

#include <algorithm>

namespace tessary {

const std::array<SaveCodeInfo, 11> &SaveCodeTable()
{
    static const std::array<SaveCodeInfo, 11> table{{
        {'K', QStringLiteral("データ区分"), QStringLiteral("ﾃﾞｰﾀ区分"), 60},
        {'k', QStringLiteral("データ区分マスター参照"), QStringLiteral("ﾃﾞｰﾀ区分ﾏｽﾀｰ参照"), 112},
        {'M', QStringLiteral("照合元バーコード"), QStringLiteral("照合元ﾊﾞｰｺｰﾄﾞ"), 86},
        {'m', QStringLiteral("照合元コードマスター参照"), QStringLiteral("照合元ｺｰﾄﾞﾏｽﾀｰ参照"), 128},
        {'S', QStringLiteral("照合先バーコード"), QStringLiteral("照合先ﾊﾞｰｺｰﾄﾞ"), 86},
        {'C', QStringLiteral("数量"), QStringLiteral("数量"), 40},
        {'o', QStringLiteral("照合OK数"), QStringLiteral("照合OK数"), 60},
        {'n', QStringLiteral("照合NG数"), QStringLiteral("照合NG数"), 60},
        {'O', QStringLiteral("照合OK/NG"), QStringLiteral("照合OK/NG"), 75},
        {'D', QStringLiteral("照合日付"), QStringLiteral("照合日付"), 60},
        {'T', QStringLiteral("照合時刻"), QStringLiteral("照合時刻"), 60},
    }};
    return table;
}

const SaveCodeInfo *FindSaveCode(char code)
{
    for (const SaveCodeInfo &info : SaveCodeTable())
        if (info.code == code)
            return &info;
    return nullptr;
}

QString GetSaveDef(const TTessaryState &s)
{
    QString allowed;
    if (s.DKubun) {
        allowed += u'K';
        if (s.DKMst)
            allowed += u'k';
    }
    allowed += u'M';
    if (s.MKMst)
        allowed += u'm';
    if (s.Dousa == OneToN) {
        allowed += s.SaveType == 3 ? QStringLiteral("on") : QStringLiteral("SO");
    } else {
        allowed += u'S';
        // The quantity box is shown in mode 1:1 only.
        if (s.SuryouInput)
            allowed += u'C';
        allowed += u'O';
    }
    static const char *stamps[] = {"", "D", "T", "DT"};
    if (s.TStamp >= 1 && s.TStamp <= 3)
        allowed += QLatin1String(stamps[s.TStamp]);
    return allowed;
}

QStringList GetSDefStr(const QString &allowed)
{
    QStringList items;
    for (QChar c : allowed)
        if (const SaveCodeInfo *info = FindSaveCode(char(c.unicode())))
            items << info->item;
    return items;
}

void CheckSaveDat(std::array<TSaveDat, SaveFieldMax> &fields, const QString &allowed, const TModel &model)
{
    const auto isAllowed = [&](char code) { return code != 0 && allowed.contains(QLatin1Char(code)); };
    for (TSaveDat &f : fields) {
        if (f.code == 'D' && !isAllowed('D'))
            f.code = isAllowed('T') ? 'T' : 'M';
        else if (f.code == 'T' && !isAllowed('T'))
            f.code = isAllowed('D') ? 'D' : 'M';
        if (!isAllowed(f.code))
            f.code = 'M';
        switch (f.code) {
        case 'C':
        case 'n':
        case 'o':
            f.top = 1;
            f.len = std::clamp(f.len, 1, 4);
            break;
        case 'D':
            f.top = 1;
            f.len = 10;
            break;
        case 'O':
            f.top = 1;
            f.len = 2;
            break;
        case 'T':
            f.top = 1;
            f.len = 8;
            break;
        default:
            if (f.top < 1)
                f.top = 1;
            else if (f.top > model.BarMaxLen && f.top != model.SpTopPos)
                f.top = model.BarMaxLen;
            f.len = std::clamp(f.len, 1, model.BarMaxLen);
            break;
        }
    }
}

TSaveDat CheckSDTLen(char code, std::optional<int> top, std::optional<int> len, const TModel &model)
{
    TSaveDat f{code, top.value_or(1), len.value_or(1)};
    if (code == 'C' || code == 'O' || code == 'n' || code == 'o') {
        f.len = std::min(f.len, 4);
    } else if (f.top + f.len - 1 > model.BarMaxLen && f.top != model.SpTopPos) {
        // A start past BarMaxLen would leave no length at all; the page's correction then moves
        // the start back, so the length edit never shows a count below 1.
        f.len = std::max(1, model.BarMaxLen - f.top + 1);
    }
    return f;
}

RowPanel PanelOf(char code)
{
    switch (code) {
    case 'C':
    case 'n':
    case 'o':
        return RowPanel::LengthOnly;
    case 'D':
    case 'T':
    case 'O':
        return RowPanel::Hidden;
    default:
        return RowPanel::StartAndLength;
    }
}

QStringList SaveTypeItems(int dousa)
{
    QStringList items{QStringLiteral("照合OK明細"), QStringLiteral("照合NG明細"),
                      QStringLiteral("照合OK/NG明細")};
    if (dousa == OneToN)
        items << QStringLiteral("照合OK/NGｶｳﾝﾄ");
    return items;
}

int SaveTypeFor(int index, int dousa)
{
    return std::clamp(index, 0, dousa == OneToN ? 3 : 2);
}

const std::array<QString, 4> &TimeStampItems()
{
    static const std::array<QString, 4> items{QStringLiteral("なし"), QStringLiteral("日付"),
                                              QStringLiteral("時刻"), QStringLiteral("日付+時刻")};
    return items;
}

char TimeStampLetter(int index)
{
    static const char letters[] = "NDTX";
    return index >= 0 && index < 4 ? letters[index] : 'N';
}

int TimeStampIndex(char letter)
{
    switch (letter) {
    case 'D':
        return 1;
    case 'T':
        return 2;
    case 'X':
        return 3;
    default:
        return 0;
    }
}

QList<PreviewColumn> DspDataLayout(const TTessaryState &state)
{
    QList<PreviewColumn> columns;
    const int used = std::clamp(state.SaveFields, 1, SaveFieldMax);
    for (int i = 0; i < used; ++i) {
        PreviewColumn column;
        if (const SaveCodeInfo *info = FindSaveCode(state.SaveDat[std::size_t(i)].code)) {
            column.caption = info->caption;
            column.width = info->width;
        }
        column.cell = QString::asprintf("%4d", state.SaveDat[std::size_t(i)].len);
        columns << column;
    }
    return columns;
}

} // namespace tessary
