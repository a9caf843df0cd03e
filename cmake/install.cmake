# Installing the tool, and the packages CPack makes of it: a .deb on Linux, a
# .tar.gz of a static build for any Linux, a .zip on Windows.
#
#   cmake --install build [--prefix DIR]     # DIR/bin/plmn, DIR/share/man/man1/plmn.1,
#                                            # DIR/share/doc/plmn/examples/tolist.awk
#   cd build && cpack                        # plmn_VERSION_ARCH.deb, or plmn-VERSION-win64.zip
#   cd build-static && cpack                 # plmn-VERSION-linux-ARCH.tar.gz (-DPLMN_STATIC=ON)

include(GNUInstallDirs)

set(PLMN_MAINTAINER "plmn authors <plmn@example.org>"
    CACHE STRING "The Maintainer of the packages: a name and a mail address")

set(CPACK_PACKAGE_NAME plmn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
    "plmn decodes the entries of a PLMN list, such as the preferred-network lists
of a SIM or USIM card (EF_PLMNwAcT, EF_OPLMNwAcT, EF_HPLMNwAcT) written out in
hexadecimal, and prints each distinct network once, sorted, as MCC:MNC:ACT.")
set(CPACK_PACKAGE_CONTACT ${PLMN_MAINTAINER})
set(CPACK_STRIP_FILES ON)
# What the packages add to the installed files, and what they leave out of
# the binary: see package-files.cmake.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-files.cmake)
set(CPACK_PLMN_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PLMN_MAN_DIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_PLMN_BIN_DIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_PLMN_DOC_DIR ${CMAKE_INSTALL_DOCDIR})
# A checksum beside each package, PACKAGE.sha256 (plmn_VERSION_ARCH.deb.sha256),
# in the form `sha256sum -c` reads: "HASH  PACKAGE".
set(CPACK_PACKAGE_CHECKSUM SHA256)

# The changelog that the packages carry, and their date, which every time
# stamp in them takes, so that the same source gives the same packages byte
# for byte: those of the release that the packages are of. That is the top
# released entry of doc/changelog: between releases, the changes users will
# see gather above it in an entry for the next version marked UNRELEASED (see
# CONTRIBUTING.md), which the packages, of the last release's version, leave
# out. The date is the caller's SOURCE_DATE_EPOCH, or else that entry's, as
# Debian's packages have it; package-date.cmake sets it when cpack starts.
set(changelog ${PROJECT_SOURCE_DIR}/doc/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(READ ${changelog} released)
if(released MATCHES "^[^\n]* UNRELEASED;")
  string(FIND "${released}" "\n${CPACK_PACKAGE_NAME} (" next)
  if(next EQUAL -1)
    set(released "")
  else()
    math(EXPR next "${next} + 1")
    string(SUBSTRING "${released}" ${next} -1 released)
  endif()
endif()
set(CPACK_PLMN_CHANGELOG ${PROJECT_BINARY_DIR}/released-changelog)
file(WRITE ${CPACK_PLMN_CHANGELOG} "${released}")
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
set(CPACK_PLMN_SOURCE_DATE_EPOCH "")
if(DPKG_PARSECHANGELOG)
  execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${CPACK_PLMN_CHANGELOG} -STimestamp
                  OUTPUT_VARIABLE CPACK_PLMN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
if(NOT CPACK_PLMN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  # Without dpkg-dev: the date of the entry's trailer line,
  # " -- NAME <ADDRESS>  Wed, 09 Dec 2026 13:00:00 +0000".
  file(STRINGS ${CPACK_PLMN_CHANGELOG} trailer REGEX "^ -- " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
  execute_process(COMMAND date -u -d "${date}" +%s
                  OUTPUT_VARIABLE CPACK_PLMN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
if(NOT CPACK_PLMN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(WARNING "Cannot tell the date of the top released entry of ${changelog}: the packages "
                  "will carry the time they are made, unless SOURCE_DATE_EPOCH gives one.")
  set(CPACK_PLMN_SOURCE_DATE_EPOCH "")
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package-date.cmake)

if(WIN32)
  # A folder to unpack anywhere: the program, which needs no DLL but those of
  # Windows itself (KERNEL32, ADVAPI32, msvcrt), the README that explains
  # it, with the awk program of its recipes where the README
  # names it, the manual as a web page, since Windows reads no man page, and
  # the licence.
  install(TARGETS plmn RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  install(FILES examples/tolist.awk DESTINATION examples)
  # The manual as a web page, which cpack renders (see package-files.cmake).
  find_program(MANDOC mandoc)
  set(CPACK_PLMN_MANDOC "${MANDOC}")
  if(NOT MANDOC)
    message(WARNING "Without mandoc (Debian: mandoc), the .zip holds no manual.")
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME plmn-${PROJECT_VERSION}-win64)
else()
  install(TARGETS plmn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES doc/plmn.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The awk program of the README's recipes, with the
  # documentation, where Debian keeps examples. (The .tar.gz moves it beside
  # its README: see package-files.cmake.)
  install(FILES examples/tolist.awk DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  if(PLMN_STATIC)
    # An archive for any Linux of the machine, named as `uname -m` names it:
    # x86_64, aarch64, armv7l, s390x. (A cross build is always static.)
    set(CPACK_GENERATOR TGZ)
    set(CPACK_PACKAGE_FILE_NAME plmn-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
  else()
    set(CPACK_GENERATOR DEB)
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # plmn_VERSION_ARCH.deb, as Debian names them
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The C and C++ libraries the program links to, with the versions it
  # needs, as dpkg-shlibdeps (Debian: dpkg-dev) finds them. cpack picks the
  # binaries to ask it about with `file`, and without it stops ("CPackDeb:
  # file utility is not available"): the libraries are then named without
  # their versions, as without dpkg-shlibdeps.
  find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(FILE_COMMAND file)
  if(DPKG_SHLIBDEPS AND FILE_COMMAND)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
    if(NOT PLMN_STATIC)
      message(STATUS "The .deb depends on ${CPACK_DEBIAN_PACKAGE_DEPENDS} with no versions: "
                     "their versions need dpkg-shlibdeps (Debian: dpkg-dev) and file")
    endif()
  endif()
endif()

include(CPack)
