#pragma once

#include <QByteArray>
#include <QJsonObject>
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
    // Entries of the file that are not read, by their name there: kept as they were, and dropped
    // when a value of that name is written.
    QJsonObject unread;
};

// Keys by folded path. A key's ancestors are present as keys of their own; the root ("") is
// implicit and appears only when values were written to it.
struct Store {
    QMap<QString, Key> keys;
    QJsonObject unreadKeys; // keys of the file that are not read, as they were, by their path there
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
// Sets a value, replacing any value of that name whatever its type, and any unread entry of that
// name; an existing name keeps its case.
void setValue(Key &key, const Value &value);

// The file form is JSON:
// {"format": "harbrook-registry", "version": 1,
//  "keys": {"Software\\A": {"Name": {"type": "string", "data": "..."},
//                           "Count": {"type": "integer", "data": 12}}}}
QByteArray serialize(const Store &store);
//
// Reading is forgiving below the top level, so that one damaged entry costs only itself:
// - a value whose type and data do not agree (an integer written as "7", a fraction, an integer
//   beyond 32 bits, an unknown type) is not read: it reads as missing, so its default applies;
// - a key whose path is not valid ("A\\B") or whose body is not an object is not read.
// Unread entries are written back as they were (Key::unread, Store::unreadKeys).
//
// Names are compared without letter case, and a file edited by hand may hold names that differ in
// case only. Key paths that fold alike are one key, spelled as the spelling that comes first in the
// order of UTF-16 code units ("SOFTWARE\\A" before "Software\\A" before "software\\a"); their
// values come together. Of readable values whose names fold alike in that key, the first in the
// same order, taken by key spelling and then by value name, is read (its name and its value); the
// others are not read and are left out of the next write (kept, they could win a later read once
// the spellings of their key come together).
//
// Returns nothing when the bytes are not a store at all: not JSON, or without this format's name,
// version and key object (the caller decides what to do with them).
std::optional<Store> parse(const QByteArray &bytes, QString *error = nullptr);

} // namespace platform::registry
