# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Programs are linked statically against the C and C++ runtimes, so they need
# no compiler DLLs; tests run under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LK_MINGW_TRIPLE}-windres)

# Libraries and packages come only from the mingw-w64 tree and from the
# prefixes given in CMAKE_FIND_ROOT_PATH (the Windows dependency cache).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${LK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

get_filename_component(LK_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${LK_SOURCE_ROOT}/scripts/wine-run")
