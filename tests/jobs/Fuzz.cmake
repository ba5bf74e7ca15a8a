# The .BNF reader: whatever it accepts saves as a well-formed file that reads back whole.
harbrook_add_fuzz_target(bnf SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/BnfFuzz.cpp LIBS harbrook_jobs)
