# Installing the tool, and the packages CPack makes of it: a .deb on Linux,
# a .zip on Windows.
#
#   cmake --install build [--prefix DIR]     # DIR/bin/plmn, DIR/share/man/man1/plmn.1
#   cd build && cpack                        # plmn_VERSION_ARCH.deb, or plmn-VERSION-win64.zip

include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME plmn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
    "plmn decodes the entries of a PLMN list, such as the preferred-network lists
of a SIM or USIM card (EF_PLMNwAcT, EF_OPLMNwAcT, EF_HPLMNwAcT) written out in
hexadecimal, and prints each distinct network once, sorted, as MCC:MNC:ACT.")
set(CPACK_PACKAGE_CONTACT "plmn maintainers <maintainers@users.noreply.c-seed-636f9ff6.example>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # A folder to unpack anywhere: the program, which needs no DLLs, and the
  # README that explains it.
  install(TARGETS plmn RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME plmn-${PROJECT_VERSION}-win64)
else()
  install(TARGETS plmn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES doc/plmn.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # plmn_VERSION_ARCH.deb, as Debian names them
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The C and C++ libraries the program links to, with the versions it
  # needs, as dpkg-shlibdeps (Debian: dpkg-dev) finds them.
  find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
  endif()
endif()

include(CPack)
