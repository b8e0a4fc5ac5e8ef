# Shared part of the mingw-w64 cross toolchains; the including file sets
# QUADREL_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32),
# CMAKE_SYSTEM_PROCESSOR and, optionally, QUADREL_MINGW_SHARED_FLAGS first.
# (CMake reads a toolchain file more than once: plain set(), no appending.)
set(CMAKE_SYSTEM_NAME Windows)

# The posix-thread variants: std::thread and friends work with them.
set(CMAKE_C_COMPILER   ${QUADREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUADREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUADREL_MINGW_TRIPLE}-windres)

# Headers and libraries only from the cross root (and from roots a caller
# adds on the command line, e.g. a cached cross build of a third-party
# library); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUADREL_MINGW_TRIPLE} ${QUADREL_EXTRA_FIND_ROOTS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# mingw-w64 declares the POSIX thread-safe time functions (localtime_r,
# gmtime_r) only on request; portable code (the headless platform) uses them.
set(CMAKE_C_FLAGS_INIT   "-D_POSIX_THREAD_SAFE_FUNCTIONS")
set(CMAKE_CXX_FLAGS_INIT "-D_POSIX_THREAD_SAFE_FUNCTIONS")

# Every program and DLL carries libgcc, libstdc++ and winpthread inside, so it
# needs Windows system DLLs only (scripts/check-exports.sh checks the imports).
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${QUADREL_MINGW_SHARED_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${QUADREL_MINGW_SHARED_FLAGS}")
