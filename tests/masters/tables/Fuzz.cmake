# The text cells of an .xlsx sheet: the workbook may come from anywhere.
harbrook_add_fuzz_target(xlsxtext SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/XlsxTextFuzz.cpp LIBS harbrook_table_readers)
# The records of an .xls workbook stream, read in-process: the workbook may come from anywhere.
harbrook_add_fuzz_target(xlsrecords SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/XlsRecordsFuzz.cpp LIBS harbrook_table_readers)
# The Access values the reader decodes from a row's bytes itself.
harbrook_add_fuzz_target(accessvalues SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/AccessValuesFuzz.cpp LIBS harbrook_table_readers)
