# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads variant, which the
# core's std::thread needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SKEIN_MINGW_PREFIX x86_64-w64-mingw32)

find_program(CMAKE_CXX_COMPILER NAMES ${SKEIN_MINGW_PREFIX}-g++-posix)
find_program(CMAKE_RC_COMPILER NAMES ${SKEIN_MINGW_PREFIX}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "MinGW-w64 not found: apt-get install g++-mingw-w64-x86-64-posix")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${SKEIN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
