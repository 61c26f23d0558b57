# Cross-compiles for Windows (x86_64) with the -posix thread variant of mingw-w64.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
