# Cross-building for 64-bit Windows with MinGW-w64 from Debian:
#   cmake --preset windows   (CMakePresets.json; scripts/build-windows.sh)
#
# The -posix compilers give the C++ standard library its full thread support
# (GoogleTest relies on it); everything is linked statically, so the programs
# need no DLL beyond those of Windows itself. Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLMERE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLMERE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLMERE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLMERE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLMERE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No libgcc, libstdc++ or winpthread DLL to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows programs (the tests, and the programs they start) run under Wine,
# quietly, in a Wine prefix of their own inside the build folder
# (scripts/build-windows.sh prepares it once).
find_program(QUILLMERE_WINE NAMES wine)
if(QUILLMERE_WINE)
  if(DEFINED ENV{WINEPREFIX})
    set(QUILLMERE_WINE_PREFIX "$ENV{WINEPREFIX}" CACHE PATH "Wine prefix in which the tests run")
  else()
    set(QUILLMERE_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH "Wine prefix in which the tests run")
  endif()
  # scripts/wine-run.sh starts a program again only when Wine dropped it
  # before it ran.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${QUILLMERE_WINE_PREFIX})
endif()
