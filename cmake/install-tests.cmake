# Tests of what gets installed: the man page, and the .deb with the tool in it.

# The man page renders without a warning.
find_program(MANDOC mandoc)
if(MANDOC)
  add_test(NAME man_page_lint COMMAND ${MANDOC} -T lint -W warning ${PROJECT_SOURCE_DIR}/doc/plmn.1)
  # mandoc exits with status 2 on a warning; any message at all fails the test too.
  set_tests_properties(man_page_lint PROPERTIES FAIL_REGULAR_EXPRESSION ".")
else()
  add_test(NAME man_page_lint COMMAND ${CMAKE_COMMAND} -E echo "skipped: mandoc is not installed")
  set_tests_properties(man_page_lint PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
endif()

# cpack makes the .deb from the build, as a user would, into a folder of the
# test's own; a second test unpacks it and runs the tool found inside.
find_program(DPKG_DEB dpkg-deb)
if(DPKG_DEB)
  set(package_dir ${CMAKE_CURRENT_BINARY_DIR}/package-test)
  add_test(NAME deb_package_build
           COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${package_dir}
                   --config ${CMAKE_CURRENT_BINARY_DIR}/CPackConfig.cmake)
  set_tests_properties(deb_package_build PROPERTIES FIXTURES_SETUP deb_package)
  add_test(NAME deb_package_runs
           COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/test-deb.sh ${package_dir} ${PROJECT_VERSION}
                   ${PROJECT_SOURCE_DIR}/examples)
  set_tests_properties(deb_package_runs PROPERTIES FIXTURES_REQUIRED deb_package)
else()
  add_test(NAME deb_package_runs COMMAND ${CMAKE_COMMAND} -E echo "skipped: dpkg-deb is not installed")
  set_tests_properties(deb_package_runs PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
endif()
