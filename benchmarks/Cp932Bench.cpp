// Throughput of the code page 932 codec against a bare iconv loop over the same text, and the rate
// of PadBStr on short fields. Figures are the best of several runs; MB is 10^6 bytes of CP932 text.
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iconv.h>
#include <vector>

#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr qsizetype textBytes = 10 * 1000 * 1000;
constexpr int runs = 15;

// Records as the terminal files hold them: ASCII codes and numbers, half-width katakana, kanji and
// full-width letters, in fields of fixed widths.
QString mixedText()
{
    static const char16_t *const pieces[] = {
        u"ITEM-",          u"ｼｮｳﾋﾝｺｰﾄﾞ ", u"業務設定データ送信", u" 4901234567894 ", u"ﾏｽﾀｰﾌｧｲﾙ",
        u"受信ファイル名", u" QTY=",      u"ＡＢＣ１２３",       u"倉庫棚卸 ",       u"ﾃﾞｰﾀ\r\n",
    };
    QString text;
    text.reserve(textBytes);
    qsizetype bytes = 0;
    for (int i = 0; bytes < textBytes; ++i) {
        const QString piece = QString::fromUtf16(pieces[i % std::size(pieces)]) + QString::number(i % 1000);
        text += piece;
        bytes += platform::cp932::byteLength(piece);
    }
    return text;
}

double bestSeconds(const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

iconv_t openOrDie(const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "iconv cannot convert %s to %s\n", from, to);
        std::exit(1);
    }
    return cd;
}

// The peer: one descriptor, one output buffer, iconv over the whole input.
size_t bareIconv(iconv_t cd, const char *in, size_t inSize, std::vector<char> &out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char *inPtr = const_cast<char *>(in);
    size_t inLeft = inSize;
    char *outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            std::fprintf(stderr, "iconv failed: errno %d\n", errno);
            std::exit(1);
        }
    }
    return out.size() - outLeft;
}

void report(const char *what, double ours, double peer, qsizetype bytes)
{
    const double mb = double(bytes) / 1e6;
    std::printf("%-8s ours %8.1f MB/s   iconv %8.1f MB/s   ours/iconv time %.2f\n", what, mb / ours,
                mb / peer, ours / peer);
}

} // namespace

int main()
{
    const QString text = mixedText();
    const QByteArray bytes = platform::cp932::encode(text);
    std::printf("text: %lld characters, %lld bytes of CP932\n", static_cast<long long>(text.size()),
                static_cast<long long>(bytes.size()));

    iconv_t toCp932 = openOrDie("CP932", "UTF-16LE");
    iconv_t fromCp932 = openOrDie("UTF-16LE", "CP932");
    std::vector<char> out(size_t(text.size()) * 2 + 16);

    // Both sides must produce the same bytes, or the comparison means nothing.
    const size_t peerEncoded =
        bareIconv(toCp932, reinterpret_cast<const char *>(text.utf16()), size_t(text.size()) * 2, out);
    if (QByteArrayView(out.data(), qsizetype(peerEncoded)) != bytes ||
        platform::cp932::decode(bytes) != text) {
        std::fprintf(stderr, "codec and iconv disagree\n");
        return 1;
    }

    volatile qsizetype sink = 0;
    const double ourEncode = bestSeconds([&] { sink = sink + platform::cp932::encode(text).size(); });
    const double peerEncode = bestSeconds([&] {
        sink = sink + qsizetype(bareIconv(toCp932, reinterpret_cast<const char *>(text.utf16()),
                                          size_t(text.size()) * 2, out));
    });
    const double ourDecode = bestSeconds([&] { sink = sink + platform::cp932::decode(bytes).size(); });
    const double peerDecode = bestSeconds(
        [&] { sink = sink + qsizetype(bareIconv(fromCp932, bytes.constData(), size_t(bytes.size()), out)); });
    report("encode", ourEncode, peerEncode, bytes.size());
    report("decode", ourDecode, peerDecode, bytes.size());

    // Short fields as the record writers pad them.
    struct Field {
        QString text;
        int width;
    };
    const Field fields[] = {
        {QStringLiteral("ABC"), 8},
        {QString::fromUtf16(u"ｼｮｳﾋﾝ"), 12},
        {QString::fromUtf16(u"業務設定"), 20},
        {QString(), 4},
        {QStringLiteral("4901234567894"), 13},
        {QString::fromUtf16(u"受信ファイル名が長すぎる"), 10},
    };
    constexpr int calls = 600000;
    const double pad = bestSeconds([&] {
        for (int i = 0; i < calls; ++i) {
            const Field &f = fields[i % std::size(fields)];
            sink = sink + PadBStr(f.text, f.width).size();
        }
    });
    std::printf("PadBStr  %.2f million calls/s on fields of 4 to 20 bytes\n", calls / pad / 1e6);

    iconv_close(toCp932);
    iconv_close(fromCp932);
    return 0;
}
