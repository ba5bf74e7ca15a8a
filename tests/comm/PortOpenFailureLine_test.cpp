#include "comm/CorlissRules.h"

#include <gtest/gtest.h>

namespace {

using platform::DeviceSource;

TEST(PortOpenFailureLine, NamesTheDeviceWhereItWasSetAndWhy)
{
    const struct {
        const char *port;
        const char *path;
        DeviceSource source;
        const char *reason;
        const char *line;
    } cases[] = {
        {"COM3", "/dev/ttyUSB0", DeviceSource::Environment, "Permission denied",
         "COM3: cannot open /dev/ttyUSB0 (set by HARBROOK_PORT_COM3): Permission denied"},
        {"COM2", "/dev/rfcomm0", DeviceSource::Store, "Device or resource busy",
         "COM2: cannot open /dev/rfcomm0 (the value Device under "
         "Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll\\COM2 in the settings store): "
         "Device or resource busy"},
        {"COM1", "/dev/ttyS0", DeviceSource::Default, "No such file or directory",
         "COM1: cannot open /dev/ttyS0 (the default for COM1; HARBROOK_PORT_COM1 or the store value "
         "Device names another): No such file or directory"},
        {"COM9", "", DeviceSource::None, "no device", "COM9: no device for this port: no device"},
    };
    for (const auto &c : cases) {
        platform::PortOpenFailure failure;
        failure.device = {QString::fromUtf8(c.path), c.source};
        failure.error = platform::PortOpenError::Failed;
        failure.reason = QString::fromUtf8(c.reason);
        EXPECT_EQ(comm::portOpenFailureLine(QString::fromUtf8(c.port), failure).toStdString(), c.line);
    }
}

} // namespace
