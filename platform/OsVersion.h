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

// The NT version a Linux system is reported as. The programs run on every kernel they were built
// for, so the kernel's own numbers (4.x, 5.0, ...) say nothing about support.
inline constexpr int LinuxReportedMajor = 10;
inline constexpr int LinuxReportedMinor = 0;

// The running system as the version query reports it: not ok when the system cannot be asked.
OsVersion queryOsVersion();

// What the query reports for a system whose kernel release is release (as uname gives it): the
// supported version for any release, not ok for an empty one (a failed query).
OsVersion osVersionOfLinuxRelease(const QByteArray &release);

} // namespace platform
