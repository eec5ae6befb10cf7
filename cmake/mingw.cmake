# Cross build for Windows with MinGW-w64 (posix threads, needed by GoogleTest), included by the
# toolchain file of each word size after it sets OVPATCH_MINGW_PROCESSOR (i686 or x86_64) and
# OVPATCH_WINE_ARCH (win32 or win64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${OVPATCH_MINGW_PROCESSOR})
set(OVPATCH_MINGW_TRIPLE ${OVPATCH_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${OVPATCH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVPATCH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OVPATCH_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OVPATCH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test binaries run under Wine of the same word size, with a prefix inside the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${OVPATCH_WINE_ARCH})
