druv_add_test(component_server_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/component_server_test.cpp
  LIBS druv_component_server)
