# Warnings and the platform flags every target of ours gets.
add_library(druv_options INTERFACE)
target_compile_options(druv_options INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wno-unused-parameter>)
target_include_directories(druv_options INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
  # 32-bit Windows: nothing beside the executables and the DLL but themselves.
  target_compile_definitions(druv_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
  set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup")
endif()

# Where tests find the example definitions; Wine sees the Linux root as drive Z:.
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(DRUV_HOST_PATH_PREFIX "Z:")
else()
  set(DRUV_HOST_PATH_PREFIX "")
endif()
