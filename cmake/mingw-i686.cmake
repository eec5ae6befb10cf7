# 32-bit Windows (the OVPatch.exe we ship); its tests run under 32-bit Wine.
set(OVPATCH_MINGW_PROCESSOR i686)
set(OVPATCH_WINE_ARCH win32 CACHE STRING "Wine word size for this build's tests")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
