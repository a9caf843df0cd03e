# Cross-compiles a static plmn for IBM Z Linux (Debian: g++-s390x-linux-gnu), the
# big-endian machine that Debian still ships; its tests run under qemu-s390x
# (Debian: qemu-user), the way to run the decoder's big-endian code here:
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake
set(triple s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(PLMN_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
