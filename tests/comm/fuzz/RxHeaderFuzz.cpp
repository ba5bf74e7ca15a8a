// Feeds arbitrary header blocks to the reader of a received file header. A name it lets through
// is used as a file name inside the receive folder, so it must be a plain name there: no path
// separator, no "..", no control character, at most 12 bytes, upper-cased as stored.
#include <QDir>
#include <QFileInfo>

#include <cstdint>

#include "comm/YmRxHeader.h"
#include "platform/Cp932.h"
#include "tests/support/FuzzCheck.h"

namespace {

using Kind = comm::RxHeaderData::Kind;

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

void checkName(QByteArrayView data, const comm::RxHeaderData &header)
{
    const QString &name = header.name;
    FUZZ_REQUIRE(!name.isEmpty() && name != u"." && !name.contains(u"..") && !name.contains(u'/') &&
                 !name.contains(u'\\'));
    for (QChar c : name)
        FUZZ_REQUIRE(!isControl(c.unicode()));
    // The raw name: a byte below 0x20 or 0x7F is never part of a double-byte character.
    const QByteArrayView raw = data.first(data.indexOf('\0'));
    for (char c : raw)
        FUZZ_REQUIRE(!isControl(static_cast<unsigned char>(c)));
    FUZZ_REQUIRE(raw.size() >= 1 && raw.size() <= 12 && platform::cp932::byteLength(name) == raw.size());
    FUZZ_REQUIRE(comm::upperAscii(name) == name);
    FUZZ_REQUIRE(header.ext == comm::upperExtension(name) && name.endsWith(header.ext));
    FUZZ_REQUIRE(!comm::receiveLabel(name, header.ext).isEmpty());

    // Joined to the receive folder as the receiver joins it, the name stays one entry inside it.
    const QString folder = QStringLiteral("/receive/folder/");
    const QString path = folder + name;
    FUZZ_REQUIRE(QDir::cleanPath(path) == path && QFileInfo(path).path() + u'/' == folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView block(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const comm::RxHeaderData header = comm::parseHeaderData(block);
    switch (header.kind) {
    case Kind::Null:
        FUZZ_REQUIRE(block.isEmpty() || block.front() == '\0');
        FUZZ_REQUIRE(header.name.isEmpty() && header.size == 0);
        break;
    case Kind::BadName:
        FUZZ_REQUIRE(header.name.isEmpty() && header.ext.isEmpty() && header.size == 0);
        break;
    case Kind::BadSize:
        checkName(block, header);
        FUZZ_REQUIRE(header.size == 0);
        break;
    case Kind::File:
        checkName(block, header);
        FUZZ_REQUIRE(header.size >= 1);
        break;
    }
    return 0;
}
