# Debian's MinGW-w64 compilers for 64-bit Windows, with POSIX threads, and the folder of the
# Windows headers and libraries. The program's toolchain (mingw-w64.cmake) starts from these
# lines, and scripts/build-windows-qt.sh builds Qt for Windows with them alone: Qt must find
# itself, so no package root mode is set here. The script keys its cache on the lines that are
# not comments, so changing one of them builds Qt anew; it takes no blank lines.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
