#include "OsVersion.h"

#include <sys/utsname.h>

namespace platform {

OsVersionCheck checkOsVersion(const OsVersion &version)
{
    if (!version.ok)
        return OsVersionCheck::QueryFailed;
    if (version.platformId != NtPlatformId)
        return OsVersionCheck::Unsupported;
    if (version.major > 5 || (version.major == 5 && version.minor != 0))
        return OsVersionCheck::Accepted;
    return OsVersionCheck::Unsupported;
}

OsVersion osVersionOfLinuxRelease(const QByteArray &release)
{
    OsVersion version;
    if (release.isEmpty())
        return version;
    version.ok = true;
    version.platformId = NtPlatformId;
    version.major = LinuxReportedMajor;
    version.minor = LinuxReportedMinor;
    return version;
}

OsVersion queryOsVersion()
{
    utsname name{};
    if (uname(&name) != 0)
        return {};
    return osVersionOfLinuxRelease(QByteArray(name.release));
}

} // namespace platform
