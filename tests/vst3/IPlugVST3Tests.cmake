# The VST 3 binding in process, with a test product on it.
zavro_add_suite(IPlugVST3Test SOURCES ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3Test.cpp LIBS zavro_vst3)

# The equaliser itself on this binding, for the state-stream fuzzer.
zavro_add_fuzzer(Vst3StateFuzzer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Vst3StateFuzzer.cpp ${ZAVRO_PLUGIN_SOURCES} ${PROJECT_SOURCE_DIR}/plugin/ZAVROFactory.cpp
  LIBS zavro_vst3
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/states
  SECONDS 10)
if(TARGET Vst3StateFuzzer)
  target_compile_definitions(Vst3StateFuzzer PRIVATE ZAVRO_BINDING_VST3)
endif()

# The equaliser on this binding with a processing thread beside the UI thread.
zavro_add_suite(IPlugVST3ThreadTest TSAN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3ThreadTest.cpp ${ZAVRO_PLUGIN_SOURCES} ${PROJECT_SOURCE_DIR}/plugin/ZAVROFactory.cpp
  LIBS zavro_vst3)
target_compile_definitions(IPlugVST3ThreadTest PRIVATE ZAVRO_BINDING_VST3)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(IPlugVST3ThreadTest PRIVATE Threads::Threads)
endif()
