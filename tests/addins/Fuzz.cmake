# The add-in programs' parameter strings: another program or a damaged store may have written them.
harbrook_add_fuzz_target(addinpara SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/AddinParaFuzz.cpp
  LIBS harbrook_addins_olvide harbrook_addins_tessary harbrook_addins_quillon harbrook_addins_marrent)
