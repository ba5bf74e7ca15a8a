#pragma once

#include <QByteArray>

// The operating system version as the manager's start-up checks it: the record of the version query
// and the rule that accepts or refuses the platform, apart from each other so the rule can be tried
// with any version.
namespace platform {

// The NT family's platform identifier; the only family the programs run on.
inline constexpr int NtPlatformId = 2;

struct OsVersion {
    bool ok = false; // false when the query failed; the other fields are then meaningless
    int platformId = 0;
    int major = 0;
    int minor = 0;
};

enum class OsVersionCheck { Accepted, QueryFailed, Unsupported };

// Accepts the NT family from version 5.1 on.
OsVersionCheck checkOsVersion(const OsVersion &version);

// On Linux the running kernel stands for the NT family, with the kernel's major and minor version.
OsVersion queryOsVersion();

// The version read from a kernel release such as "6.1.0-18-amd64"; not ok when it does not start
// with a major and a minor number.
OsVersion osVersionFromKernelRelease(const QByteArray &release);

} // namespace platform
