#include "jobs/ScreenPreview.h"

#include "common/FerPrgLib.h"
#include "jobs/BhtFileLayout.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// Every item's name line and data rows are placed in half rows of 7 pixels below the title.
constexpr int NameTop = 16;
constexpr int DataTop = 30;
constexpr int HalfRow = 7;
constexpr int MaxItemRows = 9;
constexpr int TitleTop = 1;
constexpr int TotalTop = NameTop + 9 * PreviewRowHeight;
constexpr int CountTop = NameTop + 10 * PreviewRowHeight;
constexpr int KeyTop = NameTop + PreviewDataRows * PreviewRowHeight;

// Samples that stand for an item's input field; the first eight of DspMasks are the string and
// number samples in standard and double width, the ninth the blank row.
enum Mask { StringMask = 0, ZeroFillMask = 2, ZeroSuppressMask = 4, NumberMask = 6, BlankMask = 8 };

QString mask(int which, bool doubleWidth)
{
    static const QStringList masks = DspMasks();
    return masks.at(which == BlankMask ? BlankMask : which + (doubleWidth ? 1 : 0));
}

QString dateSample(QChar type, bool doubleWidth)
{
    switch (type.unicode()) {
    case u'W':
        return doubleWidth ? QStringLiteral("２０９９／１２／３１") : QStringLiteral("          2099/12/31");
    case u'X':
        return doubleWidth ? QStringLiteral("    ９９／１２／３１") : QStringLiteral("            99/12/31");
    case u'Y':
        return doubleWidth ? QStringLiteral("          １２／３１") : QStringLiteral("               12/31");
    default:
        return doubleWidth ? QStringLiteral("          ２４：５９") : QStringLiteral("               24:59");
    }
}

// Cuts of a sample by its characters, each charWidth bytes; positions are 1-based.
struct Sample {
    QString text;
    int charWidth = 1;
    QString left(int chars) const { return LeftBText(text, chars * charWidth); }
    QString right(int chars) const { return RightBText(text, chars * charWidth); }
    QString mid(int first, int chars) const
    {
        return MidBCopy(text, (first - 1) * charWidth + 1, chars * charWidth);
    }
};

PreviewLabel line(const QString &text, int top, PreviewAlign align = PreviewAlign::Left)
{
    PreviewLabel label;
    label.Visible = true;
    label.Text = text;
    label.Align = align;
    label.Top = top;
    return label;
}

PreviewLabel key(const QString &text, int left, int width = 24)
{
    PreviewLabel label = line(text, KeyTop, PreviewAlign::Centre);
    label.Left = left;
    label.Width = width;
    return label;
}

void setKeys(ScreenPreview &p, std::initializer_list<PreviewLabel> keys)
{
    int g = 0;
    for (const PreviewLabel &k : keys)
        p.GLabel[g++] = k;
}

void setTitle(ScreenPreview &p, const QString &text, PreviewAlign align, int font, int back)
{
    p.TitleLabel = line(text, TitleTop, align);
    p.TitleLabel.FontColour = ColourValue(font);
    p.TitleLabel.BackColour = ColourValue(back);
}

// Modes that only ask or tell: fixed rows, black on white, indexed 1 to 11 as on the terminal.
void setMessageRows(ScreenPreview &p, std::initializer_list<std::pair<int, QString>> rows)
{
    for (int r = 0; r < PreviewDataRows; ++r)
        p.DLabel[r] = line(mask(BlankMask, false), NameTop + r * PreviewRowHeight);
    for (const auto &[number, text] : rows)
        p.DLabel[number - 1].Text = text;
}

QString rcvProtoKey(QChar letter)
{
    switch (letter.unicode()) {
    case u'B':
        return QStringLiteral("Blueth");
    case u'C':
        return QStringLiteral("  ｺﾈｸﾀ");
    case u'U':
        return QStringLiteral("CU-USB");
    case u'X':
    case u'Y':
        return QString();
    default:
        return QStringLiteral("CU-232");
    }
}

// The data rows of one item, top to bottom, before they are placed.
struct ItemRow {
    QString text;
    PreviewAlign align;
};

std::vector<ItemRow> stringRows(QChar type, qint64 limit, bool doubleWidth)
{
    const int perRow = doubleWidth ? 10 : 20;
    const Mask which = type == u'A' ? StringMask : (type == u'B' ? ZeroFillMask : ZeroSuppressMask);
    const Sample sample{mask(which, doubleWidth), doubleWidth ? 2 : 1};
    int n = int(std::min<qint64>(limit, MaxItemRows * perRow));
    std::vector<ItemRow> rows;
    if (n < 1) {
        rows.push_back({mask(BlankMask, false), PreviewAlign::Right});
        return rows;
    }
    // The first row holds what does not fill a whole row of a number, so that the digit 9
    // closes the last row; a string starts with its first characters.
    int shown = 0;
    if (type == u'A') {
        shown = std::min(n, perRow);
        rows.push_back({sample.left(shown), PreviewAlign::Right});
    } else if (n <= perRow) {
        shown = n;
        rows.push_back({sample.right(n), PreviewAlign::Right});
    } else {
        shown = n % perRow == 0 ? perRow : n % perRow;
        rows.push_back({sample.mid(perRow + 1 - shown, shown), PreviewAlign::Right});
    }
    for (n -= shown; n > 0; n -= perRow) {
        if (type == u'A')
            rows.push_back({sample.mid(2, std::min(n, perRow)), PreviewAlign::Left});
        else
            rows.push_back({n > perRow ? sample.left(perRow) : sample.mid(2, perRow), PreviewAlign::Left});
    }
    return rows;
}

QString numberRow(QChar type, int length, bool doubleWidth)
{
    int e = type == u'b' ? length - 1 : length;
    if (e >= 4 && e <= 6)
        e += 1;
    else if (e >= 7 && e <= 9)
        e += 2;
    else if (e >= 10 && e <= 12)
        e += 3;
    // The row keeps its last 20 columns, so no more of the sample than that can show.
    e = std::clamp(e, 0, PreviewScreenColumns);
    QString sign;
    if (type == u'b')
        sign = doubleWidth ? QStringLiteral("＋") : QStringLiteral("+");
    else if (type == u'c')
        sign = doubleWidth ? QStringLiteral("￥") : QStringLiteral("\\");
    const Sample sample{mask(NumberMask, doubleWidth), doubleWidth ? 2 : 1};
    return RightBText(QString(PreviewScreenColumns, u' ') + sign + sample.right(e), PreviewScreenColumns);
}

std::vector<ItemRow> itemRows(const TKoData &item)
{
    const QChar type = DataTypeLetter(item.KDType);
    const bool doubleWidth = item.KDSize != 0;
    switch (type.unicode()) {
    case u'A':
    case u'B':
    case u'C':
        return stringRows(type, KoLimitLength(item.KDMax), doubleWidth);
    case u'a':
    case u'b':
    case u'c':
        return {{numberRow(type, item.KDLen, doubleWidth), PreviewAlign::Right}};
    default:
        return {{dateSample(type, doubleWidth), PreviewAlign::Right}};
    }
}

// DspBhtP0: the item's name at half row y in name label k, its rows from data row `row` on. No more
// than the item's screen lines are drawn: with a running total the longest string keeps 8 of its 9
// rows, so that it does not run over the total line.
void DspBhtP0(ScreenPreview &p, const TKoData &item, int y, int &row, int k, int lines)
{
    PreviewLabel &name = p.KLabel[k];
    name = line(item.KName, NameTop + HalfRow * y);
    // As wide as its text, so that its background stops where the name ends.
    const qsizetype nameBytes = platform::cp932::byteLength(item.KName);
    name.Width = int(std::min<qsizetype>(nameBytes, PreviewScreenColumns)) * PreviewColumnWidth;
    name.FontColour = ColourValue(item.KNfColor);
    name.BackColour = ColourValue(item.KNbColor);

    int top = DataTop + HalfRow * y;
    std::vector<ItemRow> rows = itemRows(item);
    rows.resize(std::min<size_t>(rows.size(), size_t(std::max(lines, 1))));
    for (const ItemRow &r : rows) {
        if (row >= PreviewDataRows)
            return;
        PreviewLabel &data = p.DLabel[row++];
        data = line(r.text, top, r.align);
        data.FontColour = ColourValue(item.KDfColor);
        data.BackColour = ColourValue(item.KDbColor);
        top += PreviewRowHeight;
    }
}

// The items of one screen page, from the first item of the page that holds the current one, as
// long as they end within halfRowLimit half rows.
void drawPage(ScreenPreview &p, const std::array<TKoData, MaxKoCount> &items,
              const std::array<int, MaxKoCount> &lines, int count, int first, int halfRowLimit)
{
    if (first < 0)
        return;
    int y = 0;
    int row = 0;
    int k = 0;
    const int last = BoundedCount(count, MaxKoCount) - 1;
    for (int j = first; j <= last; ++j) {
        DspBhtP0(p, items[j], y, row, k, lines[j]);
        if (j == last)
            break;
        y += 2 + 2 * lines[j];
        if (y + 2 + 2 * lines[j + 1] > halfRowLimit)
            break;
        ++k;
        if (row > 8 || k >= PreviewNameLabels)
            break;
    }
}

int currentIndex(int index, int count)
{
    return std::clamp(index, 0, std::max(BoundedCount(count, MaxKoCount) - 1, 0));
}

} // namespace

ScreenPreview DspBhtPanel(const TGyData &job)
{
    ScreenPreview p;
    for (int r = 0; r < PreviewDataRows; ++r)
        p.DLabel[r].Top = NameTop + r * PreviewRowHeight;
    p.S1Label = line(QStringLiteral("登録件数９９９９９９"), CountTop);
    p.S1Label.Visible = false;
    p.TotalLabel = line(QStringLiteral("合計   9,999,999,999"), TotalTop);
    p.TotalLabel.Visible = false;
    setKeys(p, {key(QString(), 2), key(QString(), 30), key(QString(), 86), key(QString(), 114),
                key(QString(), 100, 12), key(QString(), 114)});
    for (PreviewLabel &g : p.GLabel)
        g.Visible = false;

    const QChar mode = GyModeLetter(job.GyMode);
    const PreviewAlign centre = PreviewAlign::Centre;
    switch (mode.unicode()) {
    case u'S':
        setTitle(p, job.GyName, centre, 0, 3);
        setMessageRows(
            p, {{5, QStringLiteral("未送信データを      ")}, {6, QStringLiteral("すべて送信しますか？")}});
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("取消"), 30),
                    key(QStringLiteral("Ｍ２"), 86), key(QStringLiteral("送信"), 114)});
        return p;
    case u'R':
    case u'r':
        setTitle(p, job.GyName, centre, 0, 3);
        setMessageRows(
            p, {{5, QStringLiteral("   通信ユニットに   ")}, {6, QStringLiteral("   ｾｯﾄしてください  ")}});
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("戻る"), 30)});
        p.GLabel[3] = key(rcvProtoKey(ComModeLetter(job.RcvProto)), 100, 36);
        return p;
    case u'b':
        setTitle(p, job.GyName, centre, 0, 3);
        setMessageRows(
            p, {{1, QStringLiteral("種類                ")}, {2, QStringLiteral("桁数    桁          ")}});
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("戻る"), 30)});
        return p;
    case u'X':
        setTitle(p, job.GyName, centre, 0, 3);
        setMessageRows(p, {{4, QStringLiteral("  設定する          ")},
                           {5, QStringLiteral("  ｱﾄﾞｲﾝ業務ﾌﾟﾛｸﾞﾗﾑ  ")},
                           {6, QStringLiteral("  の画面表示に      ")},
                           {7, QStringLiteral("  なります。        ")}});
        return p;
    default:
        break;
    }

    // A, B and J show the items of the screen page that holds the current item.
    const bool entry = mode == u'A' || mode == u'B';
    const QString title = entry ? job.GyName + QStringLiteral(">入力") : job.GyName;
    const PreviewAlign titleAlign = entry ? PreviewAlign::Left : centre;
    TGyData pages = job;
    if (job.TmpGrFlg) {
        setTitle(p, title, titleAlign, 1, 4);
        const int first = GetGrPage(pages, currentIndex(job.TmpGrNo, job.GrCount));
        drawPage(p, job.GrKoDa, pages.GrPgKoYn, job.GrCount, first, 22);
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("戻る"), 30),
                    key(QStringLiteral("Ｍ２"), 86), key(QStringLiteral("次へ"), 114)});
        return p;
    }

    setTitle(p, title, titleAlign, 0, 3);
    const bool saved = entry && !job.FName.isEmpty();
    const bool totalShown = mode == u'B' && job.DspTotal;
    p.TotalLabel.Visible = totalShown && saved;
    p.S1Label.Visible = saved;
    const int first = GetDaPage(pages, currentIndex(job.TmpDaNo, job.DaCount));
    drawPage(p, job.DaKoDa, pages.DaPgKoYn, job.DaCount, first, mode == u'J' ? 22 : (totalShown ? 18 : 20));
    if (saved) {
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("戻る"), 30),
                    key(QStringLiteral("F1"), 58, 12), key(QStringLiteral("参照"), 72),
                    key(QStringLiteral("F4"), 100, 12), key(QStringLiteral("終了"), 114)});
    } else {
        setKeys(p, {key(QStringLiteral("Ｍ１"), 2), key(QStringLiteral("戻る"), 30),
                    key(QStringLiteral("Ｆ４"), 86), key(QStringLiteral("終了"), 114)});
    }
    return p;
}
