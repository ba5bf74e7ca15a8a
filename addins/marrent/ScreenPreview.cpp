#include "ScreenPreview.h"

#include "addins/frame/ByteText.h"
#include "common/FerPrgLib.h"

#include <algorithm>

namespace marrent {

namespace {

QString repeat(QChar c, int n)
{
    return n > 0 ? QString(n, c) : QString();
}

} // namespace

QString PreviewScreen::text(const QString &name) const
{
    for (const PreviewLine &line : lines)
        if (line.name == name)
            return line.text;
    return {};
}

bool PreviewScreen::shows(const QString &name) const
{
    return std::any_of(lines.begin(), lines.end(), [&](const PreviewLine &l) { return l.name == name; });
}

PreviewScreen BuildPreview(const MarrentSettings &s, const ModelLimits &limits,
                           const std::optional<QString> &gyName)
{
    PreviewScreen screen;
    const int model = limits.BhtType;
    screen.panel = model == 500 ? 500 : model == 900 ? 900 : 600;
    const bool m500 = screen.panel == 500;
    const bool m900 = screen.panel == 900;
    const int width = m500 ? 16 : 20; // bytes of a line
    const int e = s.PKCountLen > 0 ? s.PKCountLen : 1;
    auto add = [&](const char *name, const QString &text) {
        screen.lines.append({QString::fromLatin1(name), text});
    };

    if (gyName && !gyName->isEmpty())
        add("Title", *gyName);
    else
        add("Title", s.picking ? QStringLiteral("ピッキング") : QStringLiteral("検品"));

    if (!m900 && s.DpUsed) {
        add("DpName", CutToBytes(s.DpName, width));
        add("DpData", repeat(u'9', std::min(std::max(s.DpLen, 0), width)));
    }
    add("SCCaption", QStringLiteral("商品コード"));
    add("SCData", QStringLiteral("9999999999999"));

    if (s.InpCount) {
        if (m900) {
            add("Quantity", QStringLiteral("数量 ") + repeat(u'・', 8));
        } else {
            const int dots = std::clamp(s.InpCountDigits, 0, m500 ? 6 : 8);
            add("Quantity",
                QStringLiteral("数量") + repeat(u' ', width - 4 - 2 * dots) + repeat(u'・', dots));
        }
    }

    if (m900) {
        // The 900 panel shows its product information as drawn; only its place moves.
        add("SNameCaption", QStringLiteral("商品情報"));
        add("SName1", repeat(u'A', 21));
    } else {
        const int n = std::max(s.SNameLen, 0);
        if (n <= width) {
            add("SNameCaption", QStringLiteral("商品情報"));
            add("SName1", repeat(u'A', n));
        } else if (n <= 2 * width) {
            add("SNameCaption", QStringLiteral("商品情報"));
            add("SName1", repeat(u'A', width));
            add("SName2", repeat(u'A', n - width));
        } else {
            add("SNameCaption", repeat(u'A', width));
            add("SName1", repeat(u'A', width));
            add("SName2", repeat(u'A', std::min(n - 2 * width, width)));
        }
    }

    add("CountCaption", s.picking ? QStringLiteral("残数／ﾋﾟｯｷﾝｸﾞ数") : QStringLiteral("残数／検品数"));
    add("Remain", m500 ? QStringLiteral("残件数９９９９９") : QStringLiteral("残件数  ９９９９９９"));
    if ((m500 && e > 3) || (!m500 && e > 4))
        add("Count", repeat(u'9', e) + QStringLiteral(" / ") + repeat(u'9', e));
    else
        add("Count", repeat(u'９', e) + QStringLiteral("／") + repeat(u'９', e));
    add("M1Label", model == 800 || model == 1300 ? QStringLiteral("Ｍ１") : QStringLiteral("Ｆ１"));
    if (!s.picking) {
        add("M2Label", QStringLiteral("Ｍ２"));
        add("M2Caption", m500 ? QStringLiteral("未検") : QStringLiteral("未検品"));
    }
    return screen;
}

} // namespace marrent
