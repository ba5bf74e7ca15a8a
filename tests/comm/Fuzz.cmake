# The received field-definition text and the received header: both come from the terminal.
harbrook_add_fuzz_target(fld SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/FldFuzz.cpp LIBS harbrook_comm)
harbrook_add_fuzz_target(rxheader SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/RxHeaderFuzz.cpp LIBS harbrook_comm)
