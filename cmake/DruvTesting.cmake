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

# Under ThreadSanitizer only the programs marked THREADS are built and their
# tests registered: they run real threads (MIDI input, transfers, simulated
# instruments); the others run on one thread and the sanitize stage covers
# them already, so building them again under ThreadSanitizer would only cost
# time. Their tests carry the label "threads"; the target druv_thread_tests
# builds them all.
if("thread" IN_LIST DRUV_SANITIZE)
  set(DRUV_THREAD_TESTS_ONLY ON)
else()
  set(DRUV_THREAD_TESTS_ONLY OFF)
endif()
if(NOT TARGET druv_thread_tests)
  add_custom_target(druv_thread_tests)
endif()

# GoogleTest's and GoogleMock's headers cost more to parse than most test files
# themselves; each test program compiles them once into a precompiled header.
option(DRUV_TEST_PCH "Precompile the GoogleTest headers once per test program" ON)

function(druv_add_test name)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(DRUV_THREAD_TESTS_ONLY AND NOT ARG_THREADS)
    add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} druv_test_paths druv_options GTest::gtest_main GTest::gmock)
  if(DRUV_TEST_PCH)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
  endif()
  if(DRUV_THREAD_TESTS_ONLY AND NOT ARG_THREADS)
    return()
  endif()
  set(labels)
  if(ARG_THREADS)
    add_dependencies(druv_thread_tests ${name})
    set(labels LABELS threads)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300 ${labels} ${ARG_PROPERTIES})
endfunction()
