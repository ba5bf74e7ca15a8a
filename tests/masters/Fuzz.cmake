# The master's width file and the working copy's store: both read files brought from elsewhere.
harbrook_add_fuzz_target(master SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/MasterFileFuzz.cpp LIBS harbrook_masters)
