# Cross build for 32-bit Windows (i686), the shipped Quadrel.dll:
#   cmake --preset win32
set(QUADREL_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
# The module-definition file names the stdcall exports without their @N
# suffix; the linker matches them to the decorated symbols (and --kill-at
# drops the suffix from the table). Saying so explicitly keeps it quiet.
set(QUADREL_MINGW_SHARED_FLAGS "-Wl,--enable-stdcall-fixup")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
