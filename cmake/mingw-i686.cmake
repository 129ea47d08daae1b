# Cross build for 32-bit Windows with MinGW-w64, win32 thread model: the posix model's
# threads library would be linked into an exe that never starts a thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KORVALEN_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVALEN_MINGW_TRIPLET}-gcc-win32)
set(KORVALEN_MINGW_CXX ${KORVALEN_MINGW_TRIPLET}-g++-win32)
set(CMAKE_CXX_COMPILER ${KORVALEN_MINGW_CXX})
set(CMAKE_RC_COMPILER ${KORVALEN_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVALEN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Win32 test executables run under the 32-bit Wine loader.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec;i686")
