# The widget implementations of the UI services; programs install them at start.
add_library(harbrook_platform_ui STATIC
  WidgetUiService.cpp WidgetUiService.h)
target_link_libraries(harbrook_platform_ui PUBLIC harbrook_platform Qt6::Widgets PRIVATE harbrook_warnings)
