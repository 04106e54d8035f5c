# druv_windows_program(TARGET OUTPUT_NAME MANIFEST LIBS...): a desktop
# program, self-contained (linked statically like the other deliverables),
# with the manifest configured from MANIFEST (its processor filled in) and
# compiled in through the program folder's manifest.rc.in.
function(druv_windows_program target output_name manifest)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(DRUV_MANIFEST_ARCHITECTURE amd64)
  else()
    set(DRUV_MANIFEST_ARCHITECTURE x86)
  endif()
  get_filename_component(_manifest_name "${manifest}" NAME_WLE)
  set(DRUV_MANIFEST_FILE "${CMAKE_CURRENT_BINARY_DIR}/${_manifest_name}")
  configure_file("${manifest}" "${DRUV_MANIFEST_FILE}" @ONLY)
  configure_file(manifest.rc.in "${CMAKE_CURRENT_BINARY_DIR}/manifest.rc" @ONLY)

  add_executable(${target} WIN32 main.cpp "${CMAKE_CURRENT_BINARY_DIR}/manifest.rc")
  target_link_libraries(${target} PRIVATE ${ARGN} druv_options)
  target_link_options(${target} PRIVATE -municode)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
  set_source_files_properties("${CMAKE_CURRENT_BINARY_DIR}/manifest.rc" PROPERTIES
    OBJECT_DEPENDS "${DRUV_MANIFEST_FILE}")
endfunction()
