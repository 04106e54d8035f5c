# The filter object: as a component, against the test host, and in whole
# sessions with a simulated instrument.
druv_add_test(filter_object_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/filter/filter_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter/filter_com_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter/filter_events_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter/filter_host_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/filter/filter_session_test.cpp
  LIBS druv_filter druv_testhost)
