# The settings store file: another program, a crash or the operator may have left anything in it.
harbrook_add_fuzz_target(registry SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/RegistryFuzz.cpp LIBS harbrook_platform)
