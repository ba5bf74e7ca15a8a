#pragma once

#include <QString>
#include <optional>

#include "platform/RegistryData.h"

namespace platform {

// The programs' registry object. The root is always the current user's store (RegistryFile.h):
// there is no other root on this platform.
//
// Key paths use "\" between segments. A path that starts with "\" is taken from the root; any
// other path is taken below the open key, or from the root when none is open. Key and value names
// compare without letter case and keep the case they were first written with (which of several
// spellings in a hand-edited store is read: RegistryData.h).
//
// Opening a key takes a snapshot of it: reads see what the store held at that moment plus this
// object's own writes. Each write merges one value into the store at once, so other programs see
// it as soon as they open the key. Reads report a missing value, or one of another type, as
// nothing; writes report failure, and `errorString()` tells why.
class TRegistry {
public:
    TRegistry();

    // Opens the key; with `canCreate` a missing key is created (and its missing ancestors).
    // Closes the key that was open, whatever the outcome.
    bool OpenKey(const QString &key, bool canCreate);
    // Opens an existing key for reading only: writes to it fail.
    bool OpenKeyReadOnly(const QString &key);
    bool KeyExists(const QString &key) const;
    void CloseKey();
    // The open key's path from the root, without a leading "\"; empty when none is open.
    QString CurrentPath() const;

    bool ValueExists(const QString &name) const;
    std::optional<QString> ReadString(const QString &name) const;
    std::optional<int> ReadInteger(const QString &name) const;
    // An integer value: non-zero is true.
    std::optional<bool> ReadBool(const QString &name) const;

    bool WriteString(const QString &name, const QString &value);
    bool WriteInteger(const QString &name, int value);
    // Stored as the integer 0 or 1.
    bool WriteBool(const QString &name, bool value);

    QString errorString() const { return error_; }

private:
    std::optional<QString> resolve(const QString &key) const;
    bool open(const QString &key, bool canCreate, bool readOnly);
    const registry::Value *find(const QString &name) const;
    bool write(const registry::Value &value);

    QString storePath_;
    bool open_ = false;
    bool readOnly_ = false;
    registry::Key current_;
    QString error_;
};

} // namespace platform
