# Cross build of the portable core for 64-bit Windows with Debian's MinGW-w64; the test
# programs run under Wine through cmake/wine-run.sh.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: the programs start under Wine with no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
