# 32-bit Windows, the target of the deliverables.
set(DRUV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DRUV_WINE_ARCH win32)
include("${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake")
