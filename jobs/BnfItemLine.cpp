#include "jobs/BnfItemLine.h"

#include <QString>
#include <cstring>

#include "common/FerPrgLib.h"
#include "jobs/BnfFields.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"

namespace {

constexpr int MaxItems = 10;
constexpr int MaxSplitFields = 10;
constexpr int MaxSavedRefs = 5;
constexpr int MaxRefField = 5;

bool isModeJ(QChar mode)
{
    return mode == u'J';
}

// Comparison kind of a comparison against an item of the given type.
QChar cmpModeOfType(int typeIndex)
{
    switch (DataTypeLetter(typeIndex).unicode()) {
    case u'a':
    case u'b':
    case u'c':
        return u'1';
    case u'W':
        return u'2';
    case u'X':
        return u'3';
    case u'Y':
        return u'4';
    case u'Z':
        return u'5';
    default:
        return u'0';
    }
}

// The limits of a mode J item come from its type, not from the item's own limit texts.
void modeJLimits(const TKoData &item, bnf::LineBuilder &line)
{
    const QString len = QString::number(item.KDLen);
    switch (DataTypeLetter(item.KDType).unicode()) {
    case u'a':
    case u'c':
        line.signedNumber(QStringLiteral("2147483647"), 12).signedNumber(QStringLiteral("0"), 12);
        break;
    case u'b':
        line.signedNumber(QStringLiteral("+2147483647"), 12).signedNumber(QStringLiteral("-2147483647"), 12);
        break;
    case u'W':
    case u'X':
    case u'Y':
    case u'Z':
        line.signedNumber(len, 12).signedNumber(len, 12);
        break;
    default:
        line.signedNumber(len, 12).signedNumber(QStringLiteral("0"), 12);
        break;
    }
}

void barcodeBlock(const TKoData &item, bnf::LineBuilder &line)
{
    line.text(item.KBar, 20).text(item.KBarUser, 32).number(item.KBMax, 4).number(item.KBMin, 4);
    line.flag(item.KBGTIN)
        .flag(item.KBItfDelCD)
        .flag(item.KBStfDelCD)
        .flag(item.KBNW7DelCD)
        .flag(item.KBC39DelCD);
    const QChar format = FormatLetter(item.KBFmt);
    line.letter(format);
    if (item.KBDatChk) {
        line.number(item.KBChkNgMd + 1, 1)
            .number(item.KBChkDNo, 2)
            .number(item.KBChkTop, 4)
            .number(item.KBChkLen, 4);
        const bool valueCompared = item.KBCmpID == u'0' || item.KBCmpID == u'1';
        line.text(valueCompared ? item.KBChkStr : QString(), 60);
    } else {
        line.bytes("00100010001").blanks(60);
    }
    if (item.FWDatChk) {
        line.number(item.FWCount, 2);
        for (int i = 0; i < MaxSplitFields; ++i) {
            line.number(item.FWDstKo[i], 2);
            if (format == u'A')
                line.text(item.FWAiCd[i], 4).blanks(4);
            else if (format == u'N')
                line.number(item.FWTop[i], 4).number(item.FWLength[i], 4);
            else
                line.number(item.FWDatNo[i], 2).blanks(6);
        }
    } else {
        line.bytes(QByteArray(102, '0'));
    }
}

void masterBlock(const TKoData &item, bnf::LineBuilder &line)
{
    line.number(item.KMFNo, 2);
    if (item.KMFKeySet)
        line.bytes("1").number(item.KMFKeyTop, 4).number(item.KMFKeyLen, 2);
    else
        line.bytes("0000101");
    line.flag(item.KMstChk).number(item.DspQDNo, 2).number(item.SaveQDNum, 2);
    for (int i = 0; i < MaxSavedRefs; ++i)
        line.number(item.QDNo[i], 2).number(item.SDNo[i], 2);
}

QChar inputLetter(const TKoData &item)
{
    // Only string and digit-string items read barcodes on the terminal.
    int mode = item.KDInpMode;
    if (item.KDType >= 3 && (mode == 2 || mode == 3))
        mode = 1;
    return InputLetter(mode);
}

} // namespace

QChar DeriveKBCmpMode(const TGyData &job, bool groupItem, int index)
{
    const TKoData &item = groupItem ? job.GrKoDa[index] : job.DaKoDa[index];
    const char16_t id = item.KBCmpID.unicode();
    switch (id) {
    case u'0':
        return u'0';
    case u'1':
        return u'1';
    case u'2':
    case u'3':
        return u'3';
    default:
        break;
    }
    // Only items the terminal has filled in before this one can be compared against.
    if (id >= u'A' && id <= u'Z') {
        const int j = id - u'A';
        const int limit = groupItem ? index : qBound(0, job.GrCount, MaxItems);
        return j < limit && j < MaxItems ? cmpModeOfType(job.GrKoDa[j].KDType) : u'0';
    }
    if (!groupItem && id >= u'a' && id <= u'z') {
        const int j = id - u'a';
        return j < index && j < MaxItems ? cmpModeOfType(job.DaKoDa[j].KDType) : u'0';
    }
    return u'0';
}

QByteArray SaveKoDat(const TKoData &item, int count, QChar modeLetter, int index)
{
    bnf::LineBuilder line;
    line.bytes("0").text(item.KName, 22).bytes("0000");
    line.letter(ColourLetter(item.KNfColor)).letter(ColourLetter(item.KNbColor));
    line.flag(item.KDSaveFlg).letter(inputLetter(item)).bytes("00");
    line.number(item.KDSize, 1).letter(ColourLetter(item.KDfColor)).letter(ColourLetter(item.KDbColor));
    line.letter(DataTypeLetter(item.KDType)).number(item.KDLen, 4);

    const bool modeJ = isModeJ(modeLetter);
    if (modeJ) {
        modeJLimits(item, line);
        line.blanks(67);
    } else {
        line.signedNumber(item.KDMax, 12).signedNumber(item.KDMin, 12);
        line.letter(item.KDefType).text(item.KDefDat, 64).letter(DoubleLetter(item.KDouble));
        if (item.KDNext >= count - index - 1)
            line.bytes("0");
        else
            line.number(index + 1 + item.KDNext, 1);
    }

    // In mode J only the first item of a list reads a barcode and looks up a master.
    const bool blocksAllowed = !modeJ || index == 0;
    if (blocksAllowed && (item.KDInpMode == 2 || item.KDInpMode == 3))
        barcodeBlock(item, line);
    line.blanksTo(371);
    if (blocksAllowed && item.KMstFlag)
        masterBlock(item, line);
    else
        line.bytes(QByteArray(34, '0'));

    line.number(item.KDNextTm, 2);
    if (item.KBDatChk)
        line.text(item.KBChkAi, 4).letter(item.KBCmpID).letter(item.KBCmpMode);
    else
        line.bytes("01  00");
    return line.finish();
}

namespace {

// A character field of one byte; anything but printable ASCII reads as a blank, so that writing
// the item back keeps every later field in place.
QChar charAt(QByteArrayView line, int p)
{
    const char c = bnf::byteAt(line, p);
    return c > 0x20 && c < 0x7F ? QChar(QLatin1Char(c)) : QChar(u' ');
}

QChar letterAt(QByteArrayView line, int p)
{
    return QChar(QLatin1Char(bnf::byteAt(line, p)));
}

bool isSign(const QString &text)
{
    return !text.isEmpty() && (text.at(0) == u'+' || text.at(0) == u'-');
}

// A signed-real limit: the sign, then at most KDLen - 1 digits without leading zeros.
QString signedRealLimit(const QString &limit, int len)
{
    const int bytes = int(platform::cp932::byteLength(limit));
    if (isSign(limit)) {
        const QString digits = bytes > len ? RightBText(limit, len - 1) : limit.mid(1);
        return limit.at(0) + TrimLeadZeros(digits);
    }
    return u'+' + TrimLeadZeros(bytes >= len ? RightBText(limit, len - 1) : limit);
}

QString unsignedLimit(QString limit, int len, bool cutToLength)
{
    if (isSign(limit))
        limit.remove(0, 1);
    if (cutToLength)
        limit = RightBText(limit, len);
    return TrimLeadZeros(limit);
}

void limits800(TKoData &item)
{
    const QChar type = DataTypeLetter(item.KDType);
    if (type == u'b') {
        item.KDMax = signedRealLimit(item.KDMax, item.KDLen);
        item.KDMin = signedRealLimit(item.KDMin, item.KDLen);
        return;
    }
    const bool cut = type == u'a' || type == u'c';
    item.KDMax = unsignedLimit(item.KDMax, item.KDLen, cut);
    item.KDMin = unsignedLimit(item.KDMin, item.KDLen, cut);
}

void limits801(TKoData &item)
{
    const QChar type = DataTypeLetter(item.KDType);
    // Without a length the limits give it: the digits of the upper limit.
    const bool noLength = item.KDLen < 1;
    if (type == u'a' || type == u'c') {
        item.KDMax = unsignedLimit(item.KDMax, item.KDLen, !noLength);
        item.KDMin = unsignedLimit(item.KDMin, item.KDLen, !noLength);
    } else if (type == u'b' && !noLength) {
        limits800(item);
        return;
    } else {
        item.KDMax = TrimLeadZeros(item.KDMax);
        item.KDMin = TrimLeadZeros(item.KDMin);
    }
    if (noLength && (type == u'a' || type == u'b' || type == u'c'))
        item.KDLen = int(platform::cp932::byteLength(item.KDMax));
}

void noDataCheck(TKoData &item)
{
    item.KBDatChk = false;
    item.KBChkDNo = 1;
    item.KBChkAi.clear();
    item.KBChkTop = 1;
    item.KBChkLen = 1;
    item.KBCmpID = u'0';
    item.KBChkStr.clear();
    item.KBChkNgMd = 0;
}

void noSplitFields(TKoData &item)
{
    item.FWDatChk = false;
    item.FWCount = 0;
    for (int i = 0; i < MaxSplitFields; ++i) {
        item.FWDstKo[i] = i;
        item.FWTop[i] = 1;
        item.FWLength[i] = 1;
        item.FWDatNo[i] = i + 1;
        item.FWAiCd[i].clear();
    }
}

void noBarcode(TKoData &item)
{
    item.KBar.clear();
    item.KBarUser.clear();
    item.KBMax = 20;
    item.KBMin = 1;
    item.KBGTIN = item.KBItfDelCD = item.KBStfDelCD = item.KBNW7DelCD = item.KBC39DelCD = false;
    item.KBFmt = 0;
    noDataCheck(item);
    noSplitFields(item);
}

void readBarcodeBlock(QByteArrayView line, TKoData &item, const QString &symbologies)
{
    item.KBar = symbologies;
    item.KBarUser = bnf::textAt(line, 153, 32);
    item.KBMax = bnf::numberAt(line, 185, 4, 1);
    item.KBMin = bnf::numberAt(line, 189, 4, 0);
    item.KBGTIN = bnf::byteAt(line, 193) == '1';
    item.KBItfDelCD = bnf::byteAt(line, 194) == '1';
    item.KBStfDelCD = bnf::byteAt(line, 195) == '1';
    item.KBNW7DelCD = bnf::byteAt(line, 196) == '1';
    item.KBC39DelCD = bnf::byteAt(line, 197) == '1';
    const QChar format = letterAt(line, 198);
    item.KBFmt = FormatIndex(format);

    const int check = bnf::numberAt(line, 199, 1, 0);
    if (check < 1) {
        noDataCheck(item);
    } else {
        item.KBDatChk = true;
        item.KBChkNgMd = check - 1;
        item.KBChkDNo = bnf::numberAt(line, 200, 2, 1);
        item.KBChkAi = bnf::textAt(line, 408, 4);
        item.KBChkTop = bnf::numberAt(line, 202, 4, 1);
        item.KBChkLen = bnf::numberAt(line, 206, 4, 1);
        item.KBCmpID = charAt(line, 412);
        if (item.KBCmpID == u'0')
            item.KBChkStr = bnf::textAt(line, 210, 60);
        else if (item.KBCmpID == u'1')
            item.KBChkStr = bnf::textAt(line, 210, 10);
        else
            item.KBChkStr.clear();
    }

    const int fields = bnf::numberAt(line, 270, 2, 0);
    if (fields < 1) {
        noSplitFields(item);
        return;
    }
    item.FWDatChk = true;
    // The count bounds loops over the ten entries; the line's two digits allow 99.
    item.FWCount = qMin(fields, MaxSplitFields);
    for (int i = 0; i < MaxSplitFields; ++i) {
        const int at = 272 + 10 * i;
        item.FWDstKo[i] = bnf::numberAt(line, at, 2, 0);
        if (format == u'A') {
            item.FWAiCd[i] = bnf::textAt(line, at + 2, 4);
        } else if (format == u'N') {
            item.FWTop[i] = bnf::numberAt(line, at + 2, 4, 1);
            item.FWLength[i] = bnf::numberAt(line, at + 6, 4, 1);
        } else {
            item.FWDatNo[i] = bnf::numberAt(line, at + 2, 2, 1);
        }
    }
}

void noMaster(TKoData &item)
{
    item.KMstFlag = false;
    item.KMFNo = 0;
    item.KMFKeySet = false;
    item.KMFKeyTop = 1;
    item.KMFKeyLen = 1;
    item.KMstChk = false;
    item.DspQDNo = 0;
    item.SaveQDNum = 0;
    for (int i = 0; i < MaxSavedRefs; ++i) {
        item.QDNo[i] = 0;
        item.SDNo[i] = 0;
    }
}

void readMasterBlock(QByteArrayView line, TKoData &item, std::span<TMstDat> masters)
{
    const int number = bnf::numberAt(line, 372, 2, 0);
    // A number outside the held definitions refers to nothing; counting it would index past them.
    if (number < 1 || number > int(masters.size())) {
        noMaster(item);
        return;
    }
    item.KMstFlag = true;
    item.KMFNo = number;
    item.KMFKeySet = bnf::byteAt(line, 374) == '1';
    item.KMFKeyTop = item.KMFKeySet ? bnf::numberAt(line, 375, 4, 1) : 1;
    item.KMFKeyLen = item.KMFKeySet ? bnf::numberAt(line, 379, 2, 1) : 1;
    masters[number - 1].UseCount += 1;
    item.KMstChk = bnf::byteAt(line, 381) == '1';
    const int shown = bnf::numberAt(line, 382, 2, 0);
    item.DspQDNo = shown >= 0 && shown <= MaxRefField ? shown : 0;
    item.SaveQDNum = qBound(0, bnf::numberAt(line, 384, 2, 0), MaxSavedRefs);
    for (int i = 0; i < MaxSavedRefs; ++i) {
        const bool saved = item.SaveQDNum >= 1;
        item.QDNo[i] = saved ? bnf::numberAt(line, 386 + 4 * i, 2, 0) : 0;
        item.SDNo[i] = saved ? bnf::numberAt(line, 388 + 4 * i, 2, 0) : 0;
    }
}

void readItem(QByteArrayView line, TKoData &item, int count, int index, std::span<TMstDat> masters,
              bool reader801)
{
    item.KName = bnf::textAt(line, 2, 20);
    item.KNfColor = ColourIndex(letterAt(line, 28));
    item.KNbColor = ColourIndex(letterAt(line, 29));
    // The 800 reader takes bytes 30 and 31 when they hold what the writer puts there, so a set
    // saved and opened again keeps each item's input method and stored flag; a line that leaves
    // them out reads as stored and keyed.
    const char saved = bnf::byteAt(line, 30);
    const char input = bnf::byteAt(line, 31);
    const bool inputStored = reader801 || (input != '\0' && std::strchr("BKNW", input) != nullptr);
    item.KDSaveFlg = (reader801 || saved == '0' || saved == '1') ? saved != '0' : true;
    item.KDInpMode = inputStored ? InputIndex(letterAt(line, 31)) : 1;
    item.KDSize = bnf::byteAt(line, 34) == '1' ? 1 : 0;
    item.KDfColor = ColourIndex(letterAt(line, 35));
    item.KDbColor = ColourIndex(letterAt(line, 36));
    item.KDType = DataTypeIndex(letterAt(line, 37));
    if (inputStored && item.KDType > 2 && (item.KDInpMode == 2 || item.KDInpMode == 3))
        item.KDInpMode = 1;
    item.KDLen = bnf::numberAt(line, 38, 4, 1);

    item.KDMax = bnf::textAt(line, 42, 12);
    item.KDMin = bnf::textAt(line, 54, 12);
    if (reader801)
        limits801(item);
    else
        limits800(item);

    item.KDefType = charAt(line, 66);
    item.KDefDat = bnf::textAt(line, 67, 64);
    item.KDouble = DoubleIndex(letterAt(line, 131));

    int next = 0;
    if (bnf::byteAt(line, 132) != '0')
        next = bnf::numberAt(line, 132, 1, 0) - index - 1;
    else if (index < count - 1)
        next = count - index - 1;
    item.KDNext = next < 0 || next >= count ? 0 : next;
    item.KDNextTm = bnf::numberAt(line, 406, 2, 0);

    const QString symbologies = FilterSymbologies(platform::cp932::decode(bnf::bytesAt(line, 133, 20)));
    const bool barcodeInput = item.KDInpMode == 2 || item.KDInpMode == 3;
    if (!reader801 && !symbologies.isEmpty() &&
        (!inputStored || (!barcodeInput && item.KDInpMode == 1 && item.KDType > 2))) {
        // The writer letters a number or date item's barcode input "K" and still writes its block
        // (mode J's first item reads a barcode whatever its type): the block tells the input.
        readBarcodeBlock(line, item, symbologies);
        item.KDInpMode = 3;
    } else if (!symbologies.isEmpty() && barcodeInput) {
        readBarcodeBlock(line, item, symbologies);
    } else {
        noBarcode(item);
        if (!inputStored)
            item.KDInpMode = 1;
    }

    readMasterBlock(line, item, masters);
}

} // namespace

void GetKoDat800(QByteArrayView line, TKoData &item, int count, int index, std::span<TMstDat> masters)
{
    readItem(line, item, count, index, masters, false);
}

void GetKoDat801(QByteArrayView line, TKoData &item, int count, int index, std::span<TMstDat> masters)
{
    readItem(line, item, count, index, masters, true);
}
