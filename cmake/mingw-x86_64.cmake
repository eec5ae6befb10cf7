# 64-bit Windows: the same programs, built so that the Windows tests run on every x86-64 machine,
# also where 32-bit programs cannot run; its tests run under 64-bit Wine.
set(OVPATCH_MINGW_PROCESSOR x86_64)
set(OVPATCH_WINE_ARCH win64 CACHE STRING "Wine word size for this build's tests")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
