# What both mingw-w64 toolchains share; ISO8583_MINGW_TRIPLET names the
# target. Programs link the compiler's runtime statically, so that they need
# no DLL beyond those that every Windows has.
set(CMAKE_C_COMPILER ${ISO8583_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${ISO8583_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${ISO8583_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ISO8583_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
