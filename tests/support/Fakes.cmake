# Test doubles shared by the test programs.
target_sources(harbrook_test_support PRIVATE
  RecordingUiService.cpp RecordingUiService.h)
