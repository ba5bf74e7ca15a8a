# libFuzzer target for the .BNF reader: arbitrary bytes must never crash it or trip a sanitizer.
# Built only with clang and -DHARBROOK_FUZZ=ON; scripts/fuzz-bnf configures such a folder and runs it.
option(HARBROOK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(HARBROOK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "HARBROOK_FUZZ needs clang; the fuzz targets are not built")
  else()
    # The code under test gets coverage instrumentation; only the fuzz program links the driver.
    foreach(lib harbrook_jobs harbrook_common harbrook_platform)
      if(TARGET ${lib})
        target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
      endif()
    endforeach()

    add_executable(bnf_fuzz ${CMAKE_CURRENT_LIST_DIR}/fuzz/BnfFuzz.cpp)
    target_link_libraries(bnf_fuzz PRIVATE harbrook_jobs harbrook_warnings)
    target_compile_options(bnf_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
    target_link_options(bnf_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    set_target_properties(bnf_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endif()
endif()
