#include <QString>
#include <QSysInfo>
#include <gtest/gtest.h>

#include "platform/OsVersion.h"

using platform::OsVersion;
using platform::OsVersionCheck;

namespace {

const char *checkName(OsVersionCheck check)
{
    switch (check) {
    case OsVersionCheck::Accepted:
        return "Accepted";
    case OsVersionCheck::QueryFailed:
        return "QueryFailed";
    case OsVersionCheck::Unsupported:
        return "Unsupported";
    }
    return "?";
}

} // namespace

TEST(OsVersion, AcceptsTheNtFamilyFromVersion51On)
{
    struct Case {
        OsVersion version;
        OsVersionCheck expected;
    };
    // clang-format off
    const Case cases[] = {
        {{true, 2, 5, 0}, OsVersionCheck::Unsupported},
        {{true, 2, 5, 1}, OsVersionCheck::Accepted},
        {{true, 2, 5, 2}, OsVersionCheck::Accepted},
        {{true, 2, 4, 90}, OsVersionCheck::Unsupported},
        {{true, 2, 6, 0}, OsVersionCheck::Accepted},
        {{true, 2, 6, 3}, OsVersionCheck::Accepted},
        {{true, 2, 10, 0}, OsVersionCheck::Accepted},
        {{true, 1, 6, 1}, OsVersionCheck::Unsupported},
        {{true, 0, 10, 0}, OsVersionCheck::Unsupported},
        {{false, 2, 10, 0}, OsVersionCheck::QueryFailed},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "ok " << c.version.ok << " platform " << c.version.platformId
                                        << " version " << c.version.major << "." << c.version.minor);
        EXPECT_STREQ(checkName(c.expected), checkName(platform::checkOsVersion(c.version)));
    }
}

TEST(OsVersion, ReadsMajorAndMinorFromAKernelRelease)
{
    struct Case {
        const char *release;
        bool ok;
        int major;
        int minor;
    };
    const Case cases[] = {
        {"6.1.0-18-amd64", true, 6, 1},
        {"5.15.0-91-generic", true, 5, 15},
        {"6.10", true, 6, 10},
        {"4.19.0", true, 4, 19},
        {"6", false, 0, 0},
        {"6.", false, 0, 0},
        {".1", false, 0, 0},
        {"x6.1", false, 0, 0},
        {"", false, 0, 0},
        {"99999999999.1", false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.release);
        const OsVersion version = platform::osVersionFromKernelRelease(c.release);
        EXPECT_EQ(c.ok, version.ok);
        if (c.ok) {
            EXPECT_EQ(platform::NtPlatformId, version.platformId);
            EXPECT_EQ(c.major, version.major);
            EXPECT_EQ(c.minor, version.minor);
        }
    }
}

TEST(OsVersion, TheRunningKernelIsReportedAsTheNtFamily)
{
    const OsVersion version = platform::queryOsVersion();
    const OsVersion expected = platform::osVersionFromKernelRelease(QSysInfo::kernelVersion().toLatin1());
    ASSERT_TRUE(version.ok);
    EXPECT_EQ(2, version.platformId);
    EXPECT_EQ(expected.major, version.major);
    EXPECT_EQ(expected.minor, version.minor);
    EXPECT_STREQ("Accepted", checkName(platform::checkOsVersion(version)));
}
