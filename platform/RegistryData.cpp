#include "RegistryData.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>
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

bool parseValue(const QString &name, const QJsonValue &json, Value &value, QString *error)
{
    const QJsonObject object = json.toObject();
    if (!json.isObject())
        return fail(error, QStringLiteral("value \"%1\" is not an object").arg(name));
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
            return fail(error, QStringLiteral("value \"%1\" is not a 32-bit integer").arg(name));
        value.type = Value::Type::Integer;
        value.number = static_cast<int>(number);
        return true;
    }
    return fail(error, QStringLiteral("value \"%1\" has no valid type and data").arg(name));
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
            it = store.keys.insert(fold(path), Key{path, {}});
        key = &it.value();
        parent = key->path;
    }
    return *key;
}

void setValue(Key &key, const Value &value)
{
    const QString folded = fold(value.name);
    const auto it = key.values.constFind(folded);
    Value stored = value;
    if (it != key.values.constEnd())
        stored.name = it.value().name;
    key.values.insert(folded, stored);
}

QByteArray serialize(const Store &store)
{
    QJsonObject keys;
    for (const Key &key : store.keys) {
        QJsonObject values;
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
    for (auto keyIt = keys.constBegin(); keyIt != keys.constEnd(); ++keyIt) {
        const std::optional<QString> path = normalizeKeyPath(keyIt.key());
        if (!path || !keyIt.value().isObject()) {
            fail(error, QStringLiteral("key \"%1\" is not valid").arg(keyIt.key()));
            return std::nullopt;
        }
        Key &key = ensureKey(store, *path);
        const QJsonObject values = keyIt.value().toObject();
        for (auto valueIt = values.constBegin(); valueIt != values.constEnd(); ++valueIt) {
            Value value;
            if (!parseValue(valueIt.key(), valueIt.value(), value, error))
                return std::nullopt;
            setValue(key, value);
        }
    }
    return store;
}

} // namespace platform::registry
