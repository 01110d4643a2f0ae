# Cross-compile for 64-bit Windows with the POSIX-thread flavour of MinGW-w64:
# the flavour for machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER   x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER  x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The plain wine launcher tries the 32-bit loader first, which fails on
# such machines: call the 64-bit loader directly.
find_program(VESK_WINE NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH)
find_program(VESK_WINE NAMES wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VESK_WINE})
