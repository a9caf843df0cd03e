# Testing a cross build on the build machine: for Windows under Wine, for
# other Linux machines under qemu-user. The unit tests are programs of the
# target run through CMAKE_CROSSCOMPILING_EMULATOR; the command-line tests are
# a program of the build machine that starts plmn through that same emulator.

if(NOT CMAKE_CROSSCOMPILING_EMULATOR AND PLMN_QEMU)
  find_program(PLMN_QEMU_PROGRAM ${PLMN_QEMU})
  if(NOT PLMN_QEMU_PROGRAM)
    message(FATAL_ERROR "The tests of this build run under ${PLMN_QEMU} (Debian: qemu-user). "
                        "Install it, or configure with -DBUILD_TESTING=OFF.")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLMN_QEMU_PROGRAM})
endif()

if(NOT CMAKE_CROSSCOMPILING_EMULATOR AND WIN32)
  find_program(WINE wine)
  find_program(WINESERVER wineserver)
  if(NOT WINE OR NOT WINESERVER)
    message(FATAL_ERROR "The tests of the Windows build run under Wine (Debian: wine wine64). "
                        "Install it, or configure with -DBUILD_TESTING=OFF.")
  endif()
  # Wine with a prefix of this build's own, made on first use.
  set(wine_prefix ${CMAKE_BINARY_DIR}/wine-prefix)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

  # Wine's server stays up for a while after its last program, and a program
  # that starts just as it goes down fails ("recvmsg: Connection reset by
  # peer"). The build runs the unit tests under Wine to list them, so a
  # server left from the build may go down in the middle of the tests: stop
  # it first, and let the tests start one of their own.
  add_test(NAME wine_server_restart
           COMMAND sh -c "export WINEPREFIX='${wine_prefix}'; '${WINESERVER}' -k; '${WINESERVER}' -w; true")
  set_tests_properties(wine_server_restart PROPERTIES FIXTURES_SETUP wine_server)
  set(PLMN_EMULATOR_FIXTURE wine_server)
endif()
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "Testing a cross build needs CMAKE_CROSSCOMPILING_EMULATOR to run its "
                      "programs, or configure with -DBUILD_TESTING=OFF.")
endif()

# GoogleTest built for the target from its sources (Debian: googletest).
set(PLMN_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${PLMN_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in PLMN_GOOGLETEST_SOURCE_DIR "
                      "(${PLMN_GOOGLETEST_SOURCE_DIR}); Debian has them in googletest.")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Defines GTest::gtest_main, as find_package(GTest) does.
add_subdirectory(${PLMN_GOOGLETEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)
# Its code is not ours to keep warning-free: GCC 12 finds a false -Wrestrict
# in it when it targets aarch64. Its warnings are off.
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)

include(${CMAKE_CURRENT_LIST_DIR}/cli-test-names.cmake)

# Builds src/main_test.cc for the build machine, as a project of its own
# since this one compiles for the target only, and adds its tests to this
# build's: they run `emulator plmn`, and for Windows expect its line ends.
function(add_cli_tests_through_emulator)
  include(ExternalProject)
  set(command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:plmn>)
  string(REPLACE ";" "|" command "${command}")
  set(binary_dir ${CMAKE_BINARY_DIR}/cli-tests)
  ExternalProject_Add(cli_tests
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/cli-tests
    BINARY_DIR ${binary_dir}
    LIST_SEPARATOR |
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DPLMN_WERROR=${PLMN_WERROR}
               -DPLMN_COMMAND=${command} -DPLMN_WINDOWS=${WIN32}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  # A program of the build machine: the emulator plays no part in starting it.
  add_executable(cli_main_test IMPORTED)
  set_target_properties(cli_main_test PROPERTIES IMPORTED_LOCATION ${binary_dir}/main_test
                                                 CROSSCOMPILING_EMULATOR "")
  # ctest shows nothing of a skipped test but its name: the skips of this
  # platform are named (see cli-test-names.cmake).
  if(WIN32)
    plmn_add_named_cli_tests(cli_main_test Wine "kWindows|kEmulated")
  else()
    plmn_add_named_cli_tests(cli_main_test qemu "kEmulated")
  endif()
endfunction()
