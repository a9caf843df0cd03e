# What the Linux cross builds share; each toolchain file sets `triple`,
# CMAKE_SYSTEM_PROCESSOR (as `uname -m` names the machine) and PLMN_QEMU (the
# qemu-user program that runs its programs), then includes this file.
#
# Every program is linked statically, the tool and its tests alike: qemu then
# runs them without the target's libraries, and the tool runs on any Linux
# of its architecture.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)

# Libraries and headers come from the target's tree only; programs that run
# during the build come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(PLMN_STATIC ON CACHE BOOL "Link plmn fully statically")
