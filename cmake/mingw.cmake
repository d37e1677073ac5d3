# Shared by both Windows toolchains: MinGW-w64 with the posix thread model (std::thread and
# std::mutex, which GoogleTest needs). The including file names the target triple. Programs
# built here run under Wine through wine-run.sh, which reads each program's machine type and
# starts the matching half of Wine in a prefix of that kind.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TAVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVIK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
