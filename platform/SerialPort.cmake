# The POSIX serial port behind platform::SerialPort.
target_sources(harbrook_platform PRIVATE PosixSerialPort.cpp PosixSerialPort.h)
target_link_libraries(harbrook_platform PUBLIC util)
