# Cross-build for 64-bit Windows: the same sources; its tests run under wine64, also on
# machines whose kernel cannot execute 32-bit programs at all.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVIK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
