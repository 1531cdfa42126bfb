# Cross-build for Windows with Debian's mingw-w64 (posix thread model:
# GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks).
# Included by the toolchain file of each architecture, which sets
# CMAKE_SYSTEM_PROCESSOR and mingw_triplet first.
set(CMAKE_SYSTEM_NAME Windows)

# By their full paths: a compiler of the same name earlier on PATH is never taken.
set(CMAKE_C_COMPILER /usr/bin/${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
