#include "OsVersion.h"

#include <sys/utsname.h>

namespace platform {
namespace {

// Reads the decimal number at pos and moves pos past it; false when there is none or it overflows.
bool readNumber(const QByteArray &text, qsizetype &pos, int &value)
{
    const qsizetype start = pos;
    long long number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + (text[pos] - '0');
        if (number > 0x7fffffff)
            return false;
        ++pos;
    }
    value = static_cast<int>(number);
    return pos > start;
}

} // namespace

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

OsVersion osVersionFromKernelRelease(const QByteArray &release)
{
    OsVersion version;
    qsizetype pos = 0;
    int major = 0;
    int minor = 0;
    if (!readNumber(release, pos, major) || pos >= release.size() || release[pos] != '.')
        return version;
    ++pos;
    if (!readNumber(release, pos, minor))
        return version;
    version.ok = true;
    version.platformId = NtPlatformId;
    version.major = major;
    version.minor = minor;
    return version;
}

OsVersion queryOsVersion()
{
    utsname name{};
    if (uname(&name) != 0)
        return {};
    return osVersionFromKernelRelease(QByteArray(name.release));
}

} // namespace platform
