# Cross build for 32-bit Windows with MinGW-w64, posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Tests are registered with the Wine wrapper explicitly (cmake/Testing.cmake).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
