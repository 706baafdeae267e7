# Shared part of the two Windows cross toolchains (Debian's mingw-w64, the
# posix thread model, whose threads link statically into the DLL).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LUMAVOX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMAVOX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMAVOX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMAVOX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Programs (the tests) link everything statically too, so they run under wine
# without the toolchain's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
