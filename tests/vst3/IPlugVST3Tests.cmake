# The VST 3 binding in process, with a test product on it.
zavro_add_suite(IPlugVST3Test SOURCES ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3Test.cpp LIBS zavro_vst3)

# The equaliser itself on this binding, for the state-stream fuzzer.
zavro_add_fuzzer(Vst3StateFuzzer SOURCES ${CMAKE_CURRENT_LIST_DIR}/Vst3StateFuzzer.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/states SECONDS 10)
if(TARGET Vst3StateFuzzer)
  zavro_product_on(Vst3StateFuzzer VST3)
endif()

# The equaliser on this binding with a processing thread beside the UI thread.
zavro_add_suite(IPlugVST3ThreadTest TSAN SOURCES ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3ThreadTest.cpp)
zavro_product_on(IPlugVST3ThreadTest VST3)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(IPlugVST3ThreadTest PRIVATE Threads::Threads)
endif()
