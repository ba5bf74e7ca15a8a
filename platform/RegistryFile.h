#pragma once

#include <QString>
#include <functional>

#include "platform/RegistryData.h"

// The store file shared by all programs of one user.
//
// Readers take no lock: a writer never changes the file in place but replaces it whole through
// AtomicFile (a temporary file in the same folder, flushed, checked and synced, then renamed over
// the store), so a reader (and a writer that crashed or met a full disk half-way) always finds a
// whole store. Writers serialize on an flock held on "<store>.lock" from reading the store to the
// rename, so concurrent writers merge instead of overwriting each other.
//
// A store that is a symbolic link stays one: the file it points at is replaced. A read-only store
// is never written: every write to it fails and says so, while reads go on.
//
// A value or key that cannot be read (a wrong type, an integer out of range, a key path with an
// empty segment) reads as missing and stays in the file as it was; the rest of the store is read
// as usual (RegistryData.h). A store that exists but is not a store at all (garbage, cut short, a
// foreign format) is never overwritten: the next writer keeps it as "<store>.corrupt-<UTC time>"
// beside it, logs that, and starts from an empty store; readers meanwhile see it as empty. A store
// that cannot be read at all (no permission, an I/O error) makes every write fail and every key fail
// to open, and is left untouched.
namespace platform::registry {

// $HARBROOK_REGISTRY when set, else "harbrook/registry.json" in the user's configuration folder.
QString storePath();

struct LoadResult {
    enum class Status { Loaded, Missing, Invalid, Unreadable };
    Status status = Status::Missing;
    Store store; // empty unless Loaded
    QString error;
};

LoadResult loadStore(const QString &path);

// Runs `change` on the current store under the lock; when it returns true, the changed store
// replaces the file. On success `result` (when given) holds the store as it now stands.
using Change = std::function<bool(Store &)>;
bool updateStore(const QString &path, const Change &change, Store *result, QString *error);

} // namespace platform::registry
