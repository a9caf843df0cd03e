# Cross-compiles a static plmn for 32-bit ARM Linux with hardware floating point,
# as on the 32-bit Raspberry Pi OS (Debian: g++-arm-linux-gnueabihf); its tests
# run under qemu-arm (Debian: qemu-user):
#   cmake -S . -B build-armv7l -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
set(triple arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(PLMN_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
