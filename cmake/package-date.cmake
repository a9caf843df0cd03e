# Read by cpack as it starts on each package: dates everything in it by
# SOURCE_DATE_EPOCH, the caller's, or else the date of the top released
# entry of doc/changelog that install.cmake found, so that the same source gives the
# same package, byte for byte, wherever and whenever it is made.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "" AND NOT CPACK_PLMN_SOURCE_DATE_EPOCH STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_PLMN_SOURCE_DATE_EPOCH}")
endif()
