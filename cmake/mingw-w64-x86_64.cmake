# Cross-builds Jotterel for 64-bit Windows with Debian's MinGW-w64 (the POSIX threads variant,
# which std::thread and std::mutex need). Everything the C++ runtime brings is linked in, so a
# built .exe runs on its own, under Wine too, without copying DLLs beside it.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(JOTTEREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${JOTTEREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${JOTTEREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${JOTTEREL_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${JOTTEREL_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${JOTTEREL_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW-w64 tree and from what this build installs, never
# from the Linux system; programs (code generators) still come from the Linux system.
# Folders given in CMAKE_PREFIX_PATH (GoogleTest built for Windows) are searched as they are.
set(CMAKE_FIND_ROOT_PATH /usr/${JOTTEREL_MINGW_TRIPLE} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside every .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and discovery run the .exe through Wine when it is there.
find_program(JOTTEREL_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/bin NO_CMAKE_FIND_ROOT_PATH)
if(JOTTEREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${JOTTEREL_WINE})
endif()
