# Cross build for 64-bit Windows (x86_64). Runs under 64-bit wine where the
# kernel cannot run 32-bit code (see scripts/test-all.sh):
#   cmake -S . -B build/win64 -G Ninja --toolchain cmake/toolchain-mingw64.cmake
set(QUADREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
