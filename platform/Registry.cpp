#include "Registry.h"

#include "platform/RegistryFile.h"

namespace platform {

using registry::Key;
using registry::LoadResult;
using registry::Store;
using registry::Value;

TRegistry::TRegistry() : storePath_(registry::storePath()) {}

std::optional<QString> TRegistry::resolve(const QString &key) const
{
    const std::optional<QString> path = registry::normalizeKeyPath(key);
    if (!path)
        return std::nullopt;
    if (key.startsWith(QLatin1Char('\\')) || !open_ || current_.path.isEmpty())
        return path;
    if (path->isEmpty())
        return current_.path;
    return current_.path + QLatin1Char('\\') + *path;
}

bool TRegistry::open(const QString &key, bool canCreate, bool readOnly)
{
    const std::optional<QString> path = resolve(key);
    CloseKey();
    error_.clear();
    if (!path) {
        error_ = QStringLiteral("not a valid key path: %1").arg(key);
        return false;
    }
    if (canCreate) {
        Store store;
        const auto create = [&](Store &current) {
            if (path->isEmpty() || registry::findKey(current, *path))
                return false;
            registry::ensureKey(current, *path);
            return true;
        };
        if (!registry::updateStore(storePath_, create, &store, &error_))
            return false;
        const Key *created = registry::findKey(store, *path);
        current_ = created ? *created : Key{};
    } else {
        const LoadResult loaded = registry::loadStore(storePath_);
        if (loaded.status == LoadResult::Status::Unreadable) {
            error_ = loaded.error;
            return false;
        }
        const Key *found = registry::findKey(loaded.store, *path);
        if (found) {
            current_ = *found;
        } else if (path->isEmpty()) {
            current_ = Key{}; // the root always exists
        } else {
            error_ = QStringLiteral("no such key: %1").arg(*path);
            return false;
        }
    }
    open_ = true;
    readOnly_ = readOnly;
    return true;
}

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    return open(key, canCreate, false);
}

bool TRegistry::OpenKeyReadOnly(const QString &key)
{
    return open(key, false, true);
}

bool TRegistry::KeyExists(const QString &key) const
{
    const std::optional<QString> path = resolve(key);
    if (!path)
        return false;
    if (path->isEmpty())
        return true;
    const LoadResult loaded = registry::loadStore(storePath_);
    return registry::findKey(loaded.store, *path) != nullptr;
}

void TRegistry::CloseKey()
{
    open_ = false;
    readOnly_ = false;
    current_ = Key{};
}

QString TRegistry::CurrentPath() const
{
    return open_ ? current_.path : QString();
}

const Value *TRegistry::find(const QString &name) const
{
    if (!open_)
        return nullptr;
    const auto it = current_.values.constFind(registry::fold(name));
    return it == current_.values.constEnd() ? nullptr : &it.value();
}

bool TRegistry::ValueExists(const QString &name) const
{
    return find(name) != nullptr;
}

std::optional<QString> TRegistry::ReadString(const QString &name) const
{
    const Value *value = find(name);
    if (!value || value->type != Value::Type::String)
        return std::nullopt;
    return value->text;
}

std::optional<int> TRegistry::ReadInteger(const QString &name) const
{
    const Value *value = find(name);
    if (!value || value->type != Value::Type::Integer)
        return std::nullopt;
    return value->number;
}

std::optional<bool> TRegistry::ReadBool(const QString &name) const
{
    const std::optional<int> number = ReadInteger(name);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

bool TRegistry::write(const Value &value)
{
    error_.clear();
    if (!open_) {
        error_ = QStringLiteral("no key is open");
        return false;
    }
    if (readOnly_) {
        error_ = QStringLiteral("the key %1 is open for reading only").arg(current_.path);
        return false;
    }
    const QString path = current_.path;
    Store store;
    const auto merge = [&](Store &current) {
        registry::setValue(registry::ensureKey(current, path), value);
        return true;
    };
    if (!registry::updateStore(storePath_, merge, &store, &error_))
        return false;
    // Taken from the merged store, so the snapshot now also holds what others wrote meanwhile.
    current_ = *registry::findKey(store, path);
    return true;
}

bool TRegistry::WriteString(const QString &name, const QString &value)
{
    Value entry;
    entry.name = name;
    entry.type = Value::Type::String;
    entry.text = value;
    return write(entry);
}

bool TRegistry::WriteInteger(const QString &name, int value)
{
    Value entry;
    entry.name = name;
    entry.type = Value::Type::Integer;
    entry.number = value;
    return write(entry);
}

bool TRegistry::WriteBool(const QString &name, bool value)
{
    return WriteInteger(name, value ? 1 : 0);
}

} // namespace platform
