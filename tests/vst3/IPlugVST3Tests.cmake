# The VST 3 binding in process, with a test product on it.
zavro_add_suite(IPlugVST3Test SOURCES ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3Test.cpp LIBS zavro_vst3)
