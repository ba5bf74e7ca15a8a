#include "Cp932.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <stdexcept>

#include <QtGlobal>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "QString units are handed to iconv as UTF-16LE");

namespace platform::cp932 {
namespace {

constexpr char16_t replacementChar = 0xFFFD;

// One iconv descriptor per direction, opened on first use and guarded by a mutex: iconv state is
// not thread-safe, and opening a converter per call costs more than the conversion of a field.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    iconv_t handle() const { return cd_; }
    std::mutex &mutex() { return mutex_; }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

Converter &encoder()
{
    static Converter c("CP932", "UTF-16LE");
    return c;
}

Converter &decoder()
{
    static Converter c("UTF-16LE", "CP932");
    return c;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Encodes text; each character the code page cannot hold becomes "?", or, with stopAtUnheld, ends
// the conversion and its index goes to unheldAt.
QByteArray convert(QStringView text, bool stopAtUnheld, qsizetype *unheldAt)
{
    if (text.isEmpty())
        return {};
    // At most two bytes per UTF-16 unit.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    Converter &conv = encoder();
    std::lock_guard lock(conv.mutex());
    iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);

    const char16_t *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype count = text.size();
    char *inPtr = const_cast<char *>(reinterpret_cast<const char *>(units));
    size_t inLeft = size_t(count) * 2;
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());

    while (inLeft > 0) {
        if (iconv(conv.handle(), &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // E2BIG cannot happen with the buffer sized above
        // Skip one character: a whole surrogate pair, else one unit.
        const qsizetype pos = qsizetype(size_t(count) * 2 - inLeft) / 2;
        if (stopAtUnheld) {
            *unheldAt = pos;
            break;
        }
        qsizetype skip = 1;
        if (isHighSurrogate(units[pos]) && pos + 1 < count && isLowSurrogate(units[pos + 1]))
            skip = 2;
        *outPtr++ = '?';
        --outLeft;
        inPtr += skip * 2;
        inLeft -= size_t(skip) * 2;
        iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(outPtr - out.data());
    return out;
}

} // namespace

QByteArray encode(QStringView text)
{
    return convert(text, false, nullptr);
}

qsizetype firstUnheld(QStringView text)
{
    qsizetype at = -1;
    convert(text, true, &at);
    return at;
}

QString decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // At most one UTF-16 unit per byte: code page 932 has no character outside the BMP.
    QString out(bytes.size(), Qt::Uninitialized);
    Converter &conv = decoder();
    std::lock_guard lock(conv.mutex());
    iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);

    char *inPtr = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *outBase = reinterpret_cast<char *>(out.data());
    char *outPtr = outBase;
    size_t outLeft = size_t(out.size()) * 2;

    while (inLeft > 0) {
        if (iconv(conv.handle(), &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        const char16_t r = replacementChar;
        std::memcpy(outPtr, &r, 2);
        outPtr += 2;
        outLeft -= 2;
        ++inPtr;
        --inLeft;
        iconv(conv.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate((outPtr - outBase) / 2);
    return out;
}

qsizetype byteLength(QStringView text)
{
    // Fast path: ASCII is one byte a character in code page 932.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? text.size() : encode(text).size();
}

} // namespace platform::cp932
