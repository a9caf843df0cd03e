# What the Linux cross builds share; each toolchain file sets `triple`,
# CMAKE_SYSTEM_PROCESSOR (as `uname -m` names the machine) and PLMN_QEMU (the
# qemu-user program that runs its programs), then includes this file.
#
# Every program is linked statically (PLMN_STATIC: the tool as a static PIE
# where the target has one, the others plainly static): qemu then runs them
# without the target's libraries, and the tool runs on any Linux of its
# architecture.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
include(${CMAKE_CURRENT_LIST_DIR}/cross-toolchain.cmake)
set(PLMN_STATIC ON CACHE BOOL "Link plmn fully statically")
