# One interface target carries the warning and sanitizer flags; every target of ours links it.
add_library(harbrook_warnings INTERFACE)
target_compile_options(harbrook_warnings INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual)
if(HARBROOK_WARNINGS_AS_ERRORS)
  target_compile_options(harbrook_warnings INTERFACE -Werror)
endif()
if(HARBROOK_SANITIZE)
  target_compile_options(harbrook_warnings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(harbrook_warnings INTERFACE -fsanitize=address,undefined)
endif()
