# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The -posix
# compilers: the default win32 thread model of GCC 12 has no std::thread.
# FELIDORA_WINDOWS_DEPS names the prefix of the cross-built libraries
# (scripts/windows-deps.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB x86_64-w64-mingw32-gcc-ranlib-posix CACHE FILEPATH "")

# try_compile projects get a fresh cache: hand the prefix on to them
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FELIDORA_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(FELIDORA_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${FELIDORA_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# static archives only: an import library would make the game need a DLL
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
