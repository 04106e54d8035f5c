# GoogleTest: Debian's package natively, its source cross-compiled for Windows.
# druv_add_test(NAME SOURCES ... LIBS ... [PROPERTIES ...]) builds one test
# program and lets CTest discover its tests when they run (under Wine, discovery at build time
# would be slow and fragile).
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/_deps/googletest" EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

function(druv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} druv_options GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    DRUV_EXAMPLES_DIR="${DRUV_HOST_PATH_PREFIX}${PROJECT_SOURCE_DIR}/examples"
    DRUV_TEST_DATA_DIR="${DRUV_HOST_PATH_PREFIX}${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()
