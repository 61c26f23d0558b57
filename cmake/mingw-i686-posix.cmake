# Cross-compiles for Windows (i686) with the -posix thread variant of mingw-w64.
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
