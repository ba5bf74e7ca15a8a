# The helper that writes the store from a second process.
add_executable(harbrook_registry_writer RegistryWriterMain.cpp)
target_link_libraries(harbrook_registry_writer PRIVATE harbrook_platform harbrook_warnings)
set_target_properties(harbrook_registry_writer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_dependencies(test_platform harbrook_registry_writer)
target_compile_definitions(test_platform PRIVATE
  HARBROOK_REGISTRY_WRITER="$<TARGET_FILE:harbrook_registry_writer>")
