#include <QString>
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

TEST(OsVersion, EveryLinuxKernelIsASupportedPlatform)
{
    // Long-term distributions still ship 3.10, 4.18 and 4.19; none of them may be refused.
    for (const char *release : {"3.10.0-1160.el7.x86_64", "4.18.0-553.el8_10.x86_64", "4.19.0-26-amd64",
                                "5.0.0-1", "5.1.0", "6.1.0-18-amd64", "6.12", "x"}) {
        SCOPED_TRACE(release);
        const OsVersion version = platform::osVersionOfLinuxRelease(release);
        EXPECT_TRUE(version.ok);
        EXPECT_STREQ("Accepted", checkName(platform::checkOsVersion(version)));
    }
    EXPECT_STREQ("QueryFailed", checkName(platform::checkOsVersion(platform::osVersionOfLinuxRelease(""))));
}

TEST(OsVersion, TheRunningSystemIsAccepted)
{
    const OsVersion version = platform::queryOsVersion();
    ASSERT_TRUE(version.ok);
    EXPECT_EQ(platform::NtPlatformId, version.platformId);
    EXPECT_STREQ("Accepted", checkName(platform::checkOsVersion(version)));
}
