# Single-instance lock, operating system version, and starting and waiting for a program.
target_sources(harbrook_platform PRIVATE
  SingleInstance.cpp SingleInstance.h
  OsVersion.cpp OsVersion.h
  Process.cpp Process.h)
