// Feeds arbitrary bytes to the reader of the settings store file. A store it accepts must be one the
// lookups can trust (every key and value found under its folded name, every key's ancestors
// present), and writing it back must give a file that reads to the same keys and values.
#include <cstdint>

#include "platform/RegistryData.h"
#include "tests/support/FuzzCheck.h"

namespace {

using namespace platform::registry;

void checkShape(const Store &store)
{
    for (auto it = store.keys.constBegin(); it != store.keys.constEnd(); ++it) {
        const Key &key = it.value();
        FUZZ_REQUIRE(it.key() == fold(key.path));
        FUZZ_REQUIRE(normalizeKeyPath(key.path) == key.path);
        FUZZ_REQUIRE(findKey(store, key.path) == &key);
        const qsizetype parent = key.path.lastIndexOf(u'\\');
        if (parent >= 0)
            FUZZ_REQUIRE(findKey(store, key.path.first(parent)) != nullptr);
        for (auto value = key.values.constBegin(); value != key.values.constEnd(); ++value)
            FUZZ_REQUIRE(value.key() == fold(value.value().name));
    }
}

bool sameValue(const Value &a, const Value &b)
{
    if (a.name != b.name || a.type != b.type)
        return false;
    return a.type == Value::Type::String ? a.text == b.text : a.number == b.number;
}

bool sameStore(const Store &a, const Store &b)
{
    if (a.keys.keys() != b.keys.keys())
        return false;
    for (auto it = a.keys.constBegin(); it != a.keys.constEnd(); ++it) {
        const Key &other = b.keys.value(it.key());
        if (it.value().path != other.path || it.value().values.keys() != other.values.keys())
            return false;
        for (auto value = it.value().values.constBegin(); value != it.value().values.constEnd(); ++value) {
            if (!sameValue(value.value(), other.values.value(value.key())))
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<Store> store = parse(bytes);
    if (!store)
        return 0;
    checkShape(*store);

    const QByteArray written = serialize(*store);
    const std::optional<Store> again = parse(written);
    FUZZ_REQUIRE(again.has_value() && sameStore(*store, *again));
    FUZZ_REQUIRE(serialize(*again) == written);
    return 0;
}
