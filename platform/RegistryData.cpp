#include "RegistryData.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::registry {
namespace {

const QString formatName = QStringLiteral("harbrook-registry");
constexpr int formatVersion = 1;

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// False when the entry is not a value of a known type whose data agrees with it.
bool parseValue(const QString &name, const QJsonValue &json, Value &value)
{
    const QJsonObject object = json.toObject();
    const QString type = object.value(QStringLiteral("type")).toString();
    const QJsonValue data = object.value(QStringLiteral("data"));
    value.name = name;
    if (type == QLatin1String("string") && data.isString()) {
        value.type = Value::Type::String;
        value.text = data.toString();
        return true;
    }
    if (type == QLatin1String("integer") && data.isDouble()) {
        const double number = data.toDouble();
        if (std::floor(number) != number || number < std::numeric_limits<int>::min() ||
            number > std::numeric_limits<int>::max())
            return false;
        value.type = Value::Type::Integer;
        value.number = static_cast<int>(number);
        return true;
    }
    return false;
}

// The names of an object in the order of their UTF-16 code units: the order that decides which of
// several spellings of one name is read.
QStringList namesInOrder(const QJsonObject &object)
{
    QStringList names = object.keys();
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseSensitive) < 0; });
    return names;
}

} // namespace

std::optional<QString> normalizeKeyPath(const QString &path)
{
    QString trimmed = path;
    if (trimmed.startsWith(QLatin1Char('\\')))
        trimmed.remove(0, 1);
    if (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return QString();
    const QStringList segments = trimmed.split(QLatin1Char('\\'));
    for (const QString &segment : segments) {
        if (segment.isEmpty())
            return std::nullopt;
    }
    return trimmed;
}

QString fold(const QString &name)
{
    return name.toCaseFolded();
}

const Key *findKey(const Store &store, const QString &normalizedPath)
{
    const auto it = store.keys.constFind(fold(normalizedPath));
    return it == store.keys.constEnd() ? nullptr : &it.value();
}

Key &ensureKey(Store &store, const QString &normalizedPath)
{
    // Ancestors first, so that each one keeps the case it had when it was first made.
    QString parent;
    Key *key = nullptr;
    const QStringList segments = normalizedPath.split(QLatin1Char('\\'));
    for (const QString &segment : segments) {
        const QString path = parent.isEmpty() ? segment : parent + QLatin1Char('\\') + segment;
        auto it = store.keys.find(fold(path));
        if (it == store.keys.end())
            it = store.keys.insert(fold(path), Key{path, {}, {}});
        key = &it.value();
        parent = key->path;
    }
    return *key;
}

void setValue(Key &key, const Value &value)
{
    const QString folded = fold(value.name);
    for (const QString &name : key.unread.keys()) {
        if (fold(name) == folded)
            key.unread.remove(name);
    }
    const auto it = key.values.constFind(folded);
    Value stored = value;
    if (it != key.values.constEnd())
        stored.name = it.value().name;
    key.values.insert(folded, stored);
}

QByteArray serialize(const Store &store)
{
    QJsonObject keys = store.unreadKeys;
    for (const Key &key : store.keys) {
        QJsonObject values = key.unread;
        for (const Value &value : key.values) {
            QJsonObject entry;
            if (value.type == Value::Type::String) {
                entry.insert(QStringLiteral("type"), QStringLiteral("string"));
                entry.insert(QStringLiteral("data"), value.text);
            } else {
                entry.insert(QStringLiteral("type"), QStringLiteral("integer"));
                entry.insert(QStringLiteral("data"), value.number);
            }
            values.insert(value.name, entry);
        }
        keys.insert(key.path, values);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), formatName);
    root.insert(QStringLiteral("version"), formatVersion);
    root.insert(QStringLiteral("keys"), keys);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Store> parse(const QByteArray &bytes, QString *error)
{
    QJsonParseError jsonError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &jsonError);
    if (document.isNull()) {
        fail(error, QStringLiteral("not JSON: %1").arg(jsonError.errorString()));
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != formatName ||
        root.value(QStringLiteral("version")).toInt(-1) != formatVersion ||
        !root.value(QStringLiteral("keys")).isObject()) {
        fail(error, QStringLiteral("not a registry store of version %1").arg(formatVersion));
        return std::nullopt;
    }
    Store store;
    const QJsonObject keys = root.value(QStringLiteral("keys")).toObject();
    for (const QString &rawPath : namesInOrder(keys)) {
        const QJsonValue body = keys.value(rawPath);
        const std::optional<QString> path = normalizeKeyPath(rawPath);
        if (!path || !body.isObject()) {
            store.unreadKeys.insert(rawPath, body);
            continue;
        }
        Key &key = ensureKey(store, *path);
        const QJsonObject values = body.toObject();
        for (const QString &name : namesInOrder(values)) {
            Value value;
            if (!parseValue(name, values.value(name), value))
                key.unread.insert(name, values.value(name));
            else if (!key.values.contains(fold(name)))
                key.values.insert(fold(name), value);
            // else another spelling of the name came first: this one is left out of the next write
        }
    }
    return store;
}

} // namespace platform::registry
