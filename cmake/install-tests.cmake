# Tests of what gets installed: the man page, the .deb with the tool in it,
# and the archive of a static build.

# The man page renders without a warning; the native build checks it.
find_program(MANDOC mandoc)
if(MANDOC AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME man_page_lint COMMAND ${MANDOC} -T lint -W warning ${PROJECT_SOURCE_DIR}/doc/plmn.1)
  # mandoc exits with status 2 on a warning; any message at all fails the test too.
  set_tests_properties(man_page_lint PROPERTIES FAIL_REGULAR_EXPRESSION ".")
elseif(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME man_page_lint COMMAND ${CMAKE_COMMAND} -E echo "skipped: mandoc is not installed")
  set_tests_properties(man_page_lint PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
endif()

# The man page names the version it is of, in its footer,
add_test(NAME man_page_version COMMAND grep -qx "\\.Os plmn ${PROJECT_VERSION}" ${PROJECT_SOURCE_DIR}/doc/plmn.1)
# and is dated as that release: its .Dd is the date of the top released entry
# of doc/changelog, which install.cmake found. An UNRELEASED entry above it
# changes neither.
if(CPACK_PLMN_SOURCE_DATE_EPOCH)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
                          date -u -d @${CPACK_PLMN_SOURCE_DATE_EPOCH} "+%B %-d, %Y"
                  OUTPUT_VARIABLE man_page_date OUTPUT_STRIP_TRAILING_WHITESPACE)
  add_test(NAME man_page_date
           COMMAND grep -qx "\\.Dd ${man_page_date}" ${PROJECT_SOURCE_DIR}/doc/plmn.1)
else()
  add_test(NAME man_page_date
           COMMAND ${CMAKE_COMMAND} -E echo "skipped: the date of doc/changelog's top released entry is unknown")
  set_tests_properties(man_page_date PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
endif()

# The package tests check the protections a package to ship has (see
# hardening.cmake), whatever PLMN_HARDEN says, except in the builds that
# leave some out by design. Whether the build optimises is what the compiler
# found of its flags, as for the fortified functions, not the build type's
# name: a None build with -O2 in CXXFLAGS, as Debian's packages are built, is
# checked. A multi-config generator has no build type, and is not checked.
set(hardening_unchecked "")
if(PLMN_SANITIZE)
  set(hardening_unchecked "the sanitizer build has no fortified functions")
elseif(NOT CMAKE_BUILD_TYPE IN_LIST PLMN_OPTIMISED_CONFIGS)
  set(hardening_unchecked "an unoptimised build has no fortified functions")
endif()
set(static_pie no)
if(PLMN_HAS_STATIC_PIE)
  set(static_pie yes)
endif()

# cpack makes a package from the build, as a user would, into a folder of the
# test's own; a second test checks its checksum, unpacks it and runs the tool
# found inside.
function(add_package_tests name generator)
  set(package_dir ${CMAKE_CURRENT_BINARY_DIR}/package-test-${name})
  add_test(NAME ${name}_package_build
           COMMAND ${CMAKE_CPACK_COMMAND} -G ${generator} -B ${package_dir}
                   --config ${CMAKE_CURRENT_BINARY_DIR}/CPackConfig.cmake)
  set_tests_properties(${name}_package_build PROPERTIES FIXTURES_SETUP ${name}_package)
  add_test(NAME ${name}_package_runs
           COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/test-package.sh ${package_dir} ${PROJECT_VERSION}
                   ${PROJECT_SOURCE_DIR}/examples ${CMAKE_CROSSCOMPILING_EMULATOR})
  set_tests_properties(${name}_package_runs PROPERTIES
    FIXTURES_REQUIRED ${name}_package
    ENVIRONMENT "PLMN_HARDENING_UNCHECKED=${hardening_unchecked};PLMN_STATIC_PIE=${static_pie}")
endfunction()

# A .deb of the build machine's own (cpack names its architecture after it),
# where the tool links to the system's libraries; a static build is packed
# as an archive instead.
find_program(DPKG_DEB dpkg-deb)
if(PLMN_STATIC)
  add_package_tests(archive TGZ)
elseif(NOT CMAKE_CROSSCOMPILING)
  if(DPKG_DEB)
    add_package_tests(deb DEB)
  else()
    add_test(NAME deb_package_runs COMMAND ${CMAKE_COMMAND} -E echo "skipped: dpkg-deb is not installed")
    set_tests_properties(deb_package_runs PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
  endif()
endif()
