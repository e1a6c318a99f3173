# Windows (x86-64) from Debian's MinGW-w64 cross compiler, the posix-threads
# flavour, which std::thread needs. The programs are linked statically against
# libstdc++, libgcc and winpthread, so that they need no DLL beyond the
# system's own; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUIMBREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUIMBREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIMBREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUIMBREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUIMBREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GCC does not align the stack of Windows threads for 32- and 64-byte vectors,
# so the AVX2 and AVX-512 paths would fault on an aligned spill: the assembler
# turns every aligned vector move into an unaligned one (same speed on aligned data).
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")

find_program(QUIMBREL_WINE NAMES wine wine64)
if(QUIMBREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIMBREL_WINE})
endif()
