# libFuzzer targets beside the tests: arbitrary bytes fed to the readers of untrusted input must
# never crash them or trip a sanitizer, and what they accept must keep the reader's promises.
# Built only with clang and -DHARBROOK_FUZZ=ON; scripts/fuzz configures such a folder and runs them.
# Each folder's Fuzz.cmake adds its targets; a target's sources are in <folder>/fuzz/ and its seed
# inputs in <folder>/fuzz/corpus/<target>/.
option(HARBROOK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(HARBROOK_FUZZ_ENABLED OFF)
if(HARBROOK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "HARBROOK_FUZZ needs clang; the fuzz targets are not built")
  else()
    set(HARBROOK_FUZZ_ENABLED ON)
    # The code under test gets coverage instrumentation; only the fuzz programs link the driver.
    foreach(lib harbrook_platform harbrook_common harbrook_comm harbrook_jobs harbrook_masters harbrook_master_tables harbrook_table_readers harbrook_table_reader_serve
            harbrook_addins_frame harbrook_addins_olvide harbrook_addins_tessary harbrook_addins_quillon
            harbrook_addins_marrent)
      if(TARGET ${lib})
        target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
      endif()
    endforeach()
  endif()
endif()

# harbrook_add_fuzz_target(NAME SOURCES ... LIBS ...): the program NAME_fuzz in <build>/fuzz/.
function(harbrook_add_fuzz_target name)
  if(NOT HARBROOK_FUZZ_ENABLED)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(target ${name}_fuzz)
  add_executable(${target} ${ARG_SOURCES} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/support/FuzzCheck.h)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} harbrook_warnings)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
