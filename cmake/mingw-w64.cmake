# Cross-build for 64-bit Windows with Debian's mingw-w64, POSIX threads variant
# (std::thread and std::mutex need it). Executables are linked statically so
# that they import only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(THT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${THT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${THT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${THT_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${THT_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${THT_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${THT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Tests and tools run the programs under Wine.
find_program(THT_WINE wine)
if(THT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${THT_WINE})
endif()
