# 64-bit Windows. Not a deliverable: it runs the Windows tests under 64-bit
# Wine on machines whose kernel cannot execute 32-bit code (no IA-32
# emulation), where 32-bit Wine cannot start.
set(DRUV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DRUV_WINE_ARCH win64)
include("${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake")
