# Cross-compiles a static plmn for 64-bit ARM Linux (Debian: g++-aarch64-linux-gnu);
# its tests run under qemu-aarch64 (Debian: qemu-user):
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(triple aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(PLMN_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
