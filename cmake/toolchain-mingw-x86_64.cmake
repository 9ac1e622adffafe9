# Cross build for 64-bit Windows with MinGW-w64, posix thread model: the same sources as
# the 32-bit build, for 64-bit hosts.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Tests are registered with the Wine wrapper explicitly (cmake/Testing.cmake).
set(CMAKE_CROSSCOMPILING_EMULATOR wine64)
