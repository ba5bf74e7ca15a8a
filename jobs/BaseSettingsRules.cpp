#include "jobs/BaseSettingsRules.h"

#include "jobs/BnfFile.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

#include <algorithm>

namespace basepage {

namespace {

constexpr int MaxBzHz = 5000;
constexpr int LowestTone = 62;

// From the last point to the end, as a file name's extension; empty without a point.
QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

qsizetype bytes(QStringView text)
{
    return platform::cp932::byteLength(text);
}

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

QString ZeroToOne(const QString &text)
{
    return text == QLatin1String("0") ? QStringLiteral("1") : text;
}

QString BzHzTyped(const QString &text)
{
    bool ok = false;
    const int hz = text.toInt(&ok);
    return ok && hz > MaxBzHz ? QString::number(MaxBzHz) : text;
}

int BzHzLeft(int hz)
{
    return hz >= 3 && hz < LowestTone ? LowestTone : hz;
}

bool StoreBzField(BuzzerSetting &entry, BzField field, const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (text.isEmpty() || !ok)
        return false;
    switch (field) {
    case BzField::Hz:
        entry.Hz = value;
        break;
    case BzField::Count:
        entry.Count = value;
        break;
    case BzField::OnTime:
        entry.OnTime = value;
        break;
    case BzField::OffTime:
        entry.OffTime = value;
        break;
    }
    return true;
}

FileNameKey FileNameKeyPress(const QString &text, int caret, QChar key)
{
    if (key == QChar(0) || key == u'\b')
        return {key, false};
    if (key == u'\r' || key == u'\n')
        return {};
    const FileNameKey refused{QChar(), true};
    if (!isAsciiLetterOrDigit(key) && key != u'-' && key != u'.' && key != u'_')
        return refused;
    // A name starts with a letter.
    if (caret <= 0 && (key.isDigit() || key == u'.' || key == u'-' || key == u'_'))
        return refused;
    const qsizetype dot = text.indexOf(u'.');
    if (key == u'.')
        return dot >= 0 || caret > 8 ? refused : FileNameKey{key, false};
    const bool atEnd = caret >= text.size();
    if (dot < 0 && bytes(text) >= 8 && atEnd)
        return refused;
    if (dot >= 0 && text.size() - dot - 1 >= 3 && atEnd)
        return refused;
    return {key.toUpper(), false};
}

FileNameText FileNameTypeText(const QString &text, int caret, const QString &typed)
{
    FileNameText result{text, std::clamp(caret, 0, int(text.size())), false};
    for (const QChar c : typed) {
        const FileNameKey k = FileNameKeyPress(result.text, result.caret, c);
        result.beep = result.beep || k.beep;
        if (k.key.isNull() || k.key == u'\b')
            continue;
        result.text.insert(result.caret, k.key);
        ++result.caret;
    }
    return result;
}

bool WrongExtension(const QString &text, QStringView wanted)
{
    const QString ext = extensionOf(text);
    return bytes(text) > 4 && bytes(ext) > 3 && ext != wanted;
}

NameChange WavFileChange(const QString &text, int caret, const QString &stored)
{
    if (!WrongExtension(text, u".WAV"))
        return {true, text, caret};
    return {false, stored, std::clamp(caret - 1, 0, int(stored.size()))};
}

NameChange ComPrgChange(const QString &text, int caret, const QString &stored)
{
    if (!WrongExtension(text, u".PD4"))
        return {true, text, caret};
    return {false, stored, std::clamp(caret, 0, int(stored.size()))};
}

bool IsComPrgName(const QString &name)
{
    return bytes(name) > 4 && extensionOf(name) == QLatin1String(".PD4");
}

DataFtpList RebuildDataFtp(const QString &comPrg1, const QString &comPrg2, int previousIndex)
{
    DataFtpList list{DataFtpItems(comPrg1, comPrg2), previousIndex};
    if (list.index >= list.items.size())
        list.index = int(list.items.size()) - 1;
    if (list.index < 0)
        list.index = 0;
    return list;
}

QChar DataFtpLetter(int index, const QString &comPrg1, const QString &comPrg2)
{
    constexpr int modes = 3;
    if (index >= 0 && index < modes)
        return ComModeLetter(index);
    const bool first = IsComPrgName(comPrg1);
    const bool second = IsComPrgName(comPrg2);
    if (index == modes && first)
        return u'X';
    if ((index == modes && !first && second) || (index == modes + 1 && first && second))
        return u'Y';
    return ComModeLetter(0);
}

QString ComPrgEnter(const QString &control, const QString &text)
{
    if (!text.isEmpty() && extensionOf(text) != QLatin1String(".PD4"))
        return {};
    if (control == QLatin1String("ComPrgSE1"))
        return QStringLiteral("ComPrgSE2");
    if (control == QLatin1String("ComPrgSE2"))
        return QStringLiteral("DataFtpCB");
    return {};
}

QString P1KeyDown(const QString &control)
{
    static const char *const chain[] = {
        "APOffTimeNE", "DspErrTimeNE", "Bar2ReadNE", "BarSModeCB",  "BzList",       "WavFileSE",
        "BzHzNE",      "BzCountNE",    "BzOnTimeNE", "BzOffTimeNE", "ComPrgSE1",    "ComPrgSE2",
        "DataFtpCB",   "SetBluetooth", "SendDelCB",  "SubMenuChk",  "ShoriMenuChk", "EditModeChk"};
    const auto *end = std::end(chain);
    const auto *at = std::find_if(std::begin(chain), end,
                                  [&](const char *name) { return control == QLatin1String(name); });
    if (at == end || at + 1 == end)
        return {};
    return QString::fromLatin1(*(at + 1));
}

BtFormValues BtFill(TBluetoothDat &bt)
{
    bt.Security = std::clamp(bt.Security, 1, 3);
    BtFormValues v;
    v.DevName = bt.DevName;
    v.ModeCB = bt.Mode == 1 ? 1 : 0;
    v.BtAdrSE = bt.Adr;
    v.TimeOutNE = QString::number(bt.TimeOut);
    v.SecurityCB = bt.Security - 1;
    v.PassKeySE = bt.PassKey;
    return v;
}

bool BtAdrVisible(int modeIndex)
{
    return modeIndex == 0;
}

bool BtPassKeyVisible(int securityIndex)
{
    return securityIndex != 0;
}

bool BtCopyBack(const BtFormValues &values, TBluetoothDat &bt)
{
    if (values.DevName.isEmpty())
        return false;
    const TBluetoothDat before = bt;
    bt.DevName = values.DevName;
    bt.Mode = values.ModeCB == 1 ? 1 : 0;
    bt.Adr = values.BtAdrSE;
    bool ok = false;
    const int timeOut = values.TimeOutNE.toInt(&ok);
    if (ok && timeOut >= 1)
        bt.TimeOut = timeOut;
    else
        bt.TimeOut = std::max(1, bt.TimeOut);
    bt.Security = std::clamp(values.SecurityCB, 0, 2) + 1;
    bt.PassKey = values.PassKeySE;
    return bt.DevName != before.DevName || bt.Mode != before.Mode || bt.Adr != before.Adr ||
           bt.TimeOut != before.TimeOut || bt.Security != before.Security || bt.PassKey != before.PassKey;
}

QChar BtAdrKey(QChar key)
{
    if (key == u'\b')
        return key;
    const QChar upper = key.toUpper();
    if ((upper >= u'0' && upper <= u'9') || (upper >= u'A' && upper <= u'F'))
        return upper;
    return {};
}

} // namespace basepage
