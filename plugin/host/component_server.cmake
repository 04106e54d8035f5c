# The component server: DllGetClassObject and DllCanUnloadNow with the two
# class factories. Portable, so the factories are tested natively too; the
# plug-in module (plugin/ui) links it into DRUV.dll. An object library: the
# 32-bit exports carry stdcall decorations, which the .def file's plain names
# reach only in objects linked directly, not in archive members.
add_library(druv_component_server OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/class_factories.cpp
  ${CMAKE_CURRENT_LIST_DIR}/component_server.cpp)
target_link_libraries(druv_component_server PUBLIC druv_filter druv_module_counts druv_device druv_platform
                      druv_options)
