#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// The registry store in memory and its file form. Pure: no I/O here.
namespace platform::registry {

struct Value {
    enum class Type { String, Integer };
    QString name; // as first written
    Type type = Type::String;
    QString text;
    int number = 0;
};

struct Key {
    QString path;                // as first created, segments joined by "\"
    QMap<QString, Value> values; // by folded value name
};

// Keys by folded path. A key's ancestors are present as keys of their own; the root ("") is
// implicit and appears only when values were written to it.
struct Store {
    QMap<QString, Key> keys;
};

// Key paths: segments separated by "\"; a leading or trailing "\" is dropped. An empty segment
// inside ("A\\B") makes the path invalid.
std::optional<QString> normalizeKeyPath(const QString &path);
// The lookup form of a name or normalized path: letter case folded.
QString fold(const QString &name);

const Key *findKey(const Store &store, const QString &normalizedPath);
// Creates the key and its missing ancestors ("" is the root); returns the key. Existing keys keep
// their case.
Key &ensureKey(Store &store, const QString &normalizedPath);
// Sets a value, replacing any value of that name whatever its type; an existing name keeps its case.
void setValue(Key &key, const Value &value);

// The file form is JSON:
// {"format": "harbrook-registry", "version": 1,
//  "keys": {"Software\\A": {"Name": {"type": "string", "data": "..."},
//                           "Count": {"type": "integer", "data": 12}}}}
QByteArray serialize(const Store &store);
// Returns nothing when the bytes are not a valid store (the caller decides what to do with them).
std::optional<Store> parse(const QByteArray &bytes, QString *error = nullptr);

} // namespace platform::registry
