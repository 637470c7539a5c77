# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# which std::thread and Qt's own threading need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUNORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUNORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUNORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUNORA_MINGW_TRIPLE}-windres)

# Libraries and headers come only from the MinGW sysroot; programs from the
# host. Packages may come from both: the Windows Qt kit (CMAKE_PREFIX_PATH)
# finds Debian's host tools' CMake files through QT_HOST_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/${LUNORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
