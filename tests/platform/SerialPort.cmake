# The serial port tests open pty pairs.
target_link_libraries(test_platform PRIVATE util)
