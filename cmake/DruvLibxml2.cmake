# libxml2 as the imported target LibXml2::LibXml2.
# Native builds use Debian's package. The Windows build cross-compiles Debian's
# source (with Debian's patches applied) once into the build tree, as a static
# library; later configures find it there and skip the build, unless its
# options changed.
if(NOT CMAKE_CROSSCOMPILING)
  find_package(LibXml2 REQUIRED)
  return()
endif()

set(_xml_root "${CMAKE_BINARY_DIR}/_deps/libxml2")
set(_xml_prefix "${_xml_root}/install")
set(_xml_lib "${_xml_prefix}/lib/libxml2.a")

# The options of the cross-build; a tree built with other options is rebuilt.
set(_xml_options
  "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}" -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_INSTALL_PREFIX=${_xml_prefix}" -DBUILD_SHARED_LIBS=OFF
  # Static: its functions must not become exports of DRUV.dll.
  -DCMAKE_C_FLAGS=-DLIBXML_STATIC
  -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF
  -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF
  -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_MODULES=OFF
  -DLIBXML2_WITH_LEGACY=OFF)
set(_xml_recipe_file "${_xml_root}/recipe.txt")
set(_xml_built_recipe "")
if(EXISTS "${_xml_recipe_file}")
  file(READ "${_xml_recipe_file}" _xml_built_recipe)
endif()

if(NOT EXISTS "${_xml_lib}" OR NOT _xml_built_recipe STREQUAL "${_xml_options}")
  file(GLOB _xml_dsc "${PROJECT_SOURCE_DIR}/third_party/downloads/libxml2_*.dsc")
  if(NOT _xml_dsc)
    message(FATAL_ERROR "libxml2's Debian source is missing from third_party/downloads: run scripts/setup.sh")
  endif()
  list(GET _xml_dsc 0 _xml_dsc)
  message(STATUS "Cross-building libxml2 from ${_xml_dsc} (once per build tree)")
  file(REMOVE_RECURSE "${_xml_root}")
  file(MAKE_DIRECTORY "${_xml_root}")
  execute_process(COMMAND dpkg-source --no-check -x "${_xml_dsc}" "${_xml_root}/src"
                  OUTPUT_QUIET RESULT_VARIABLE _rc)
  if(_rc)
    message(FATAL_ERROR "dpkg-source could not unpack libxml2 (${_rc})")
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${_xml_root}/src" -B "${_xml_root}/build" -G "${CMAKE_GENERATOR}"
            ${_xml_options}
    OUTPUT_QUIET RESULT_VARIABLE _rc)
  if(NOT _rc)
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${_xml_root}/build" --target install -j 2
                    OUTPUT_QUIET RESULT_VARIABLE _rc)
  endif()
  if(_rc)
    message(FATAL_ERROR "libxml2 cross-build failed (${_rc}); see ${_xml_root}/build")
  endif()
  file(GLOB _xml_built "${_xml_prefix}/lib/libxml2*.a")
  list(GET _xml_built 0 _xml_built)
  if(NOT _xml_built STREQUAL _xml_lib)
    file(RENAME "${_xml_built}" "${_xml_lib}")
  endif()
  file(WRITE "${_xml_recipe_file}" "${_xml_options}")
endif()

add_library(LibXml2::LibXml2 STATIC IMPORTED GLOBAL)
set_target_properties(LibXml2::LibXml2 PROPERTIES
  IMPORTED_LOCATION "${_xml_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${_xml_prefix}/include/libxml2"
  INTERFACE_COMPILE_DEFINITIONS LIBXML_STATIC
  INTERFACE_LINK_LIBRARIES "ws2_32;pthread")
