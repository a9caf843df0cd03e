# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix thread model variant of the compiler is the one whose C++
# library has std::thread and std::mutex, which GoogleTest uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

include(${CMAKE_CURRENT_LIST_DIR}/cross-toolchain.cmake)

# Every program is linked statically, the tool and its tests alike, so that
# it needs no MinGW DLLs beside it: the C++ and GCC runtime libraries,
# winpthread and libssp (the stack protector's and the fortified functions')
# are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
