# The .xls and .xlsx readers as the import runs them, through the reader program: the workbook may
# come from anywhere.
foreach(kind xls xlsx)
  harbrook_add_fuzz_target(${kind} SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/ImportFuzz.cpp LIBS harbrook_master_tables)
  if(TARGET ${kind}_fuzz)
    target_compile_definitions(${kind}_fuzz PRIVATE HARBROOK_FUZZ_SUFFIX="${kind}"
      HARBROOK_TABLE_READER="$<TARGET_FILE:harbrook-table-reader>")
    add_dependencies(${kind}_fuzz harbrook-table-reader)
  endif()
endforeach()
