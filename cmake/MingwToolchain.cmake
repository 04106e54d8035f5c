# MinGW-w64 cross compilation, shared by both Windows toolchain files. The
# posix thread model: the win32 one has no std::thread, std::mutex or
# std::condition_variable.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${DRUV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRUV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DRUV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DRUV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the cross-built programs through Wine, in the build tree's own
# prefix, starting a program again when Wine could not start it at all.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test-run.sh;${DRUV_WINE_ARCH}")
