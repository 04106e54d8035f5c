# The filter object: the plug-in's per-instrument COM object.
add_library(druv_filter STATIC
  ${CMAKE_CURRENT_LIST_DIR}/filter_interfaces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/midi_filter.cpp)
target_link_libraries(druv_filter PUBLIC druv_engine druv_module_counts druv_host_interfaces druv_device druv_options)
