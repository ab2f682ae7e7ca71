# Cross-compiles for 64-bit Windows with Debian's mingw-w64 toolchain, in
# its POSIX-threads variant (std::thread needs it). Used by
# tools/test-windows.sh:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SWEEPWAV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SWEEPWAV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SWEEPWAV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SWEEPWAV_MINGW_TRIPLE}-windres)

# Libraries and packages come from the Windows sysroot and from prefixes
# added to CMAKE_FIND_ROOT_PATH (the cross-built GoogleTest), never from the
# build machine; its programs are still found on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${SWEEPWAV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs are linked statically (-static, in the top CMakeLists.txt),
# so that they run without the toolchain's DLLs.
