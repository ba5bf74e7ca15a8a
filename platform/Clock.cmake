# The tick source and sleep of the transfer engine.
target_sources(harbrook_platform PRIVATE Clock.cpp Clock.h)
