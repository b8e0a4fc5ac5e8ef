# Cross build for 32-bit Windows (i686), the shipped Quadrel.dll:
#   cmake --preset win32
set(QUADREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
