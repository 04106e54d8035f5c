# Support for hosting the page: registration in the Wine prefix's registry,
# the filter and the page created through DRUV.dll, a host window.
add_library(druv_page_host STATIC ${CMAKE_CURRENT_LIST_DIR}/page_host_support.cpp)
target_link_libraries(druv_page_host PUBLIC druv_testhost druv_filter druv_options comctl32 ole32 uuid user32 gdi32)
target_compile_definitions(druv_page_host PUBLIC
  DRUV_EXAMPLES_DIR="${DRUV_HOST_PATH_PREFIX}${PROJECT_SOURCE_DIR}/examples")

druv_add_test(page_host_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/page_host_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plugin_server_test.cpp
  LIBS druv_page_host)
target_compile_definitions(page_host_tests PRIVATE DRUV_PLUGIN_DLL="${DRUV_HOST_PATH_PREFIX}$<TARGET_FILE:DRUV>")
add_dependencies(page_host_tests DRUV)

# The page of one definition in a window, for screenshots (scripts/screenshots.sh).
add_executable(druv-page-viewer ${CMAKE_CURRENT_LIST_DIR}/page_viewer.cpp)
target_link_libraries(druv-page-viewer PRIVATE druv_page_host druv_device)
target_compile_definitions(druv-page-viewer PRIVATE DRUV_PLUGIN_DLL="${DRUV_HOST_PATH_PREFIX}$<TARGET_FILE:DRUV>")
add_dependencies(druv-page-viewer DRUV)
