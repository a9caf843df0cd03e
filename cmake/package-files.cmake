# Run by cpack once the files are installed (and stripped) into its staging
# folder, before it packs them: takes the compiler's notes out of the Linux
# binary, and adds what each kind of package carries besides the files.
#  - .deb and .tar.gz: the .comment section, which names the compilers that
#    made the binary and its libraries, is of no use to run it (lintian:
#    binary-has-unneeded-section); strip leaves it in.
#  - .deb: the licence as /usr/share/doc/plmn/copyright, in Debian's
#    machine-readable format, the changelog of the release (see
#    install.cmake), and the man page compressed, as
#    Debian's policy asks (lintian checks all three).
#  - .tar.gz: the README and the licence at the top of its folder, and the
#    awk program of the README's recipes moved from the
#    documentation to examples/ beside them, where the README names it. (The
#    .zip gets them from the Windows build's install rules.)
#  - .zip: the man page as a web page, plmn.html, where mandoc was found.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(source "${CPACK_PLMN_SOURCE_DIR}")

if(CPACK_GENERATOR STREQUAL "DEB" OR CPACK_GENERATOR STREQUAL "TGZ")
  execute_process(COMMAND "${CPACK_OBJCOPY_EXECUTABLE}" --remove-section=.comment
                          "${root}/${CPACK_PLMN_BIN_DIR}/plmn"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()

if(CPACK_GENERATOR STREQUAL "DEB")
  set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")
  file(MAKE_DIRECTORY "${doc}")

  # The licence's copyright line, and its text past that line as the License
  # paragraph wants it: each line indented by a blank, empty lines as " .".
  file(READ "${source}/LICENSE" licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright "${licence}")
  set(copyright "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^.*\n\n(Permission )" "\\1" licence "${licence}")
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE "${doc}/copyright"
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: ${CPACK_PACKAGE_NAME}\n"
       "\n"
       "Files: *\n"
       "Copyright: ${copyright}\n"
       "License: Expat\n"
       " ${licence}\n")

  # The changelog from its top released entry on, which must be this
  # version's: install.cmake leaves out an UNRELEASED entry above it.
  file(READ "${CPACK_PLMN_CHANGELOG}" changelog)
  if(NOT changelog MATCHES "^${CPACK_PACKAGE_NAME} \\(${CPACK_PACKAGE_VERSION}\\)")
    message(FATAL_ERROR "doc/changelog has no entry for version ${CPACK_PACKAGE_VERSION} at its "
                        "top, or under an UNRELEASED one")
  endif()
  file(WRITE "${doc}/changelog" "${changelog}")

  # -n leaves the name and time out, so the same files give the same package.
  file(GLOB_RECURSE compress "${doc}/changelog" "${root}/${CPACK_PLMN_MAN_DIR}/*")
  foreach(path IN LISTS compress)
    execute_process(COMMAND gzip -9n "${path}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
elseif(CPACK_GENERATOR STREQUAL "TGZ")
  file(COPY "${source}/README.md" "${source}/LICENSE" DESTINATION "${root}")
  file(RENAME "${root}/${CPACK_PLMN_DOC_DIR}/examples" "${root}/examples")
  # The documentation's folders, share/doc/plmn, hold nothing else.
  cmake_path(GET CPACK_PLMN_DOC_DIR PARENT_PATH doc_parent)
  file(REMOVE_RECURSE "${root}/${doc_parent}")
elseif(CPACK_GENERATOR STREQUAL "ZIP" AND CPACK_PLMN_MANDOC)
  execute_process(COMMAND "${CPACK_PLMN_MANDOC}" -T html "${source}/doc/plmn.1"
                  OUTPUT_FILE "${root}/plmn.html" COMMAND_ERROR_IS_FATAL ANY)
endif()
