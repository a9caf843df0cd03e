# Adds the command-line tests of src/main_test.cc, one per TEST_F of the
# source, run by the program `target` (a target or an imported program).
# ctest shows nothing of a skipped test but its name, so a test that the
# source skips on this platform, in a line
#   if (kWindows) GTEST_SKIP() << "reason";
# whose condition is one of `skip_conditions` (a regular expression, such as
# "kWindows|kEmulated"), has the reason in its name:
#   Cli.DeviceIsNotARegularFile (under Wine: reason)
# where Wine is `platform`.
function(plmn_add_named_cli_tests target platform skip_conditions)
  set(source ${PROJECT_SOURCE_DIR}/src/main_test.cc)
  file(STRINGS ${source} lines REGEX "^TEST|GTEST_SKIP")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})  # read it anew when it changes
  set(tests)
  foreach(line IN LISTS lines)
    if(line MATCHES "^TEST_F\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\)")
      set(test ${CMAKE_MATCH_1}.${CMAKE_MATCH_2})
      list(APPEND tests ${test})
      set(name_${test} ${test})
    elseif(line MATCHES "if \\((${skip_conditions})\\) GTEST_SKIP\\(\\) << \"([^\"]*)\"")
      set(name_${test} "${test} (under ${platform}: ${CMAKE_MATCH_2})")
    elseif(line MATCHES "^TEST")
      message(FATAL_ERROR "Cannot tell the test in this line of ${source}: ${line}")
    endif()
  endforeach()
  set(names)
  foreach(test IN LISTS tests)
    add_test(NAME ${name_${test}} COMMAND ${target} --gtest_filter=${test})
    list(APPEND names ${name_${test}})
  endforeach()
  # A test that called GTEST_SKIP still ends with status 0.
  set_tests_properties(${names} PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
  if(PLMN_EMULATOR_FIXTURE)
    set_tests_properties(${names} PROPERTIES FIXTURES_REQUIRED ${PLMN_EMULATOR_FIXTURE})
  endif()
endfunction()
