# The VST 3 binding's own sources: the plug-in object, its parameter adapter and
# the SDK classes it stands on. The folder's CMakeLists builds them into zavro_vst3.
set(ZAVRO_VST3_BINDING_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/IPlugParameter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3Controller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3Process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IPlugVST3State.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/Bus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/ComponentBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/EditController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/EditControllerEx1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/Parameter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/ParameterContainer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdk/SingleComponentEffect.cpp
)
