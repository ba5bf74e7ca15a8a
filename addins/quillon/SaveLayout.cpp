#include "SaveLayout.h"

namespace quillon {

const std::vector<SaveCodeInfo> &SaveCodeTable()
{
    static const std::vector<SaveCodeInfo> table = [] {
        std::vector<SaveCodeInfo> t;
        t.push_back({'#', QStringLiteral("HtNo"), QStringLiteral("HtNo"), 40, 0});
        t.push_back({'%', QStringLiteral("ﾃﾞｰﾀ区分ﾃﾞｰﾀ"), QStringLiteral("ﾃﾞｰﾀ区分ﾃﾞｰﾀ"), 100, 0});
        t.push_back({'*', QStringLiteral("検索ｷｰ入力ﾊﾞｰｺｰﾄﾞ"), QStringLiteral("検索ｷｰ入力ﾊﾞｰｺｰﾄﾞ"), 120, 0});
        for (int n = 1; n <= 10; ++n) {
            const char code = n == 10 ? '0' : char('0' + n);
            t.push_back({code, QStringLiteral("照合ﾃﾞｰﾀ入力ﾊﾞｰｺｰﾄﾞ %1").arg(n),
                         QStringLiteral("照合ﾃﾞｰﾀ入力ﾊﾞｰｺｰﾄﾞ%1").arg(n), 140, 0});
        }
        t.push_back({'?', QStringLiteral("OK/NG"), QStringLiteral("OK/NG"), 50, 2});
        t.push_back({'<', QStringLiteral("日付(YYYY/MM/DD)"), QStringLiteral("日付(YYY/MM/DD)"), 110, 10});
        t.push_back({'>', QStringLiteral("日付(YYYYMMDD)"), QStringLiteral("日付(YYYMMDD)"), 100, 8});
        t.push_back({'(', QStringLiteral("時刻(HH:MM;SS)"), QStringLiteral("時刻(HH:MM:SS)"), 110, 8});
        t.push_back({')', QStringLiteral("時刻(HHMMSS)"), QStringLiteral("時刻(HHMMSS)"), 100, 6});
        return t;
    }();
    return table;
}

const SaveCodeInfo *SaveCodeOf(char code)
{
    for (const SaveCodeInfo &info : SaveCodeTable())
        if (info.code == code)
            return &info;
    return nullptr;
}

QByteArray GetSaveDef(bool dataKind)
{
    QByteArray def("#");
    if (dataKind)
        def += '%';
    def += "*1234567890?<>()";
    return def;
}

QStringList SaveItems(const QByteArray &def)
{
    QStringList items;
    for (char code : def)
        if (const SaveCodeInfo *info = SaveCodeOf(code))
            items << info->item;
    return items;
}

QString GetSDefStr(const QByteArray &def)
{
    QString text;
    for (const QString &item : SaveItems(def))
        text += item + QStringLiteral("\r\n");
    return text;
}

RowEdits RowEditsOf(char code)
{
    if (code == '#')
        return RowEdits::LengthOnly;
    if (QByteArrayView("%*1234567890").contains(code))
        return RowEdits::StartAndLength;
    return RowEdits::None;
}

RowMaxima RowMaximaOf(char code, const ModelLimits &limits)
{
    if (code == '#')
        return {8, 8};
    const SaveCodeInfo *info = SaveCodeOf(code);
    if (info && info->fixedLen > 0)
        return {info->fixedLen, info->fixedLen};
    return {limits.SpTopPos, limits.BarMaxLen};
}

namespace {

int heldStart(int s, const ModelLimits &limits)
{
    if (s < 1)
        return 1;
    if (s > limits.BarMaxLen && s != limits.SpTopPos)
        return limits.BarMaxLen;
    return s;
}

} // namespace

void CheckSaveDat(SaveRows &rows, const QByteArray &def, const ModelLimits &limits)
{
    for (TSaveDat &row : rows) {
        if (!def.contains(row.code))
            row.code = '*';
        const SaveCodeInfo *info = SaveCodeOf(row.code);
        if (row.code == '#') {
            row.top = 1;
            row.len = std::min(row.len, 8);
        } else if (info && info->fixedLen > 0) {
            row.top = 1;
            row.len = info->fixedLen;
        } else {
            row.top = heldStart(row.top, limits);
            row.len = std::clamp(row.len, 1, limits.BarMaxLen);
        }
    }
}

TSaveDat CheckSDTLen(char code, const QString &topText, const QString &lenText, const ModelLimits &limits)
{
    int s = int(std::clamp<qint64>(NumberOf(topText).value_or(1), -1, 1'000'000));
    int l = int(std::clamp<qint64>(NumberOf(lenText).value_or(1), -1, 1'000'000));
    if (code == '#') {
        l = std::min(l, 8);
    } else {
        if (s > limits.BarMaxLen && s != limits.SpTopPos)
            s = limits.BarMaxLen;
        l = std::min(l, limits.BarMaxLen);
        if (s + l - 1 > limits.BarMaxLen && s != limits.SpTopPos)
            l = limits.BarMaxLen - s + 1;
    }
    return {code, s, l};
}

char CodeAtChoice(const QByteArray &def, int index)
{
    if (def.isEmpty())
        return '*';
    if (index < 0)
        index = 0;
    return index < def.size() ? def.at(index) : def.back();
}

int ChoiceOfCode(const QByteArray &def, char code)
{
    const qsizetype at = def.indexOf(code);
    return at < 0 ? 0 : int(at);
}

bool StartDigitKept(const QString &text, const ModelLimits &limits)
{
    const qint64 v = NumberOf(text).value_or(10000);
    if (v == 9 || v == 99 || v == 999 || v == limits.SpTopPos)
        return true;
    return v <= limits.BarMaxLen;
}

std::array<LayoutCell, SaveRowCount> DspDataLayout(const SaveRows &rows, int count)
{
    std::array<LayoutCell, SaveRowCount> cells;
    for (int c = 0; c < SaveRowCount; ++c) {
        if (c >= count)
            continue;
        const TSaveDat &row = rows[std::size_t(c)];
        if (const SaveCodeInfo *info = SaveCodeOf(row.code)) {
            cells[std::size_t(c)].caption = info->column;
            cells[std::size_t(c)].width = info->width;
        }
        cells[std::size_t(c)].value = QString::asprintf("%4d", row.len);
    }
    return cells;
}

} // namespace quillon
