# Release files and packages: the man page, the Debian package (.deb), a
# portable Linux archive (.tar.gz) and, for Windows, a .zip; each with a
# SHA-256 file beside it. Two builds of one commit give the same bytes: every
# timestamp is SOURCE_DATE_EPOCH where it is set, else the last commit's time.

set(O2Z_MAINTAINER "olum2zavik developers <maintainers@olum2zavik.example>"
    CACHE STRING "The packages' maintainer, as: name <address>")

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(O2Z_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
                  OUTPUT_VARIABLE O2Z_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT O2Z_SOURCE_DATE_EPOCH)  # a tree without its history
    file(TIMESTAMP "${CMAKE_SOURCE_DIR}/CMakeLists.txt" O2Z_SOURCE_DATE_EPOCH "%s" UTC)
  endif()
endif()
# string(TIMESTAMP) reads the time from here.
set(ENV{SOURCE_DATE_EPOCH} "${O2Z_SOURCE_DATE_EPOCH}")
string(TIMESTAMP O2Z_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP O2Z_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  set(bin_dir .)  # beside README.md and LICENSE, where Windows users look
else()
  set(bin_dir bin)
endif()
install(TARGETS olum2zavik RUNTIME DESTINATION ${bin_dir} COMPONENT tool)
if(WIN32)
  install(FILES README.md LICENSE DESTINATION . COMPONENT docs)
else()
  set(man_page "${CMAKE_BINARY_DIR}/olum2zavik.1")
  configure_file(man/olum2zavik.1.in "${man_page}" @ONLY)

  # The copyright file in Debian's format, with the licence text of LICENSE.
  # Each line indented by one blank, an empty one written " .".
  list(SUBLIST O2Z_LICENSE_LINES 4 -1 licence_lines)  # the text below the title and copyright line
  list(TRANSFORM licence_lines PREPEND " ")
  list(TRANSFORM licence_lines REPLACE "^ $" " .")
  list(JOIN licence_lines "\n" O2Z_LICENSE_TEXT)
  configure_file(packaging/copyright.in "${CMAKE_BINARY_DIR}/debian/copyright" @ONLY)
  configure_file(packaging/changelog.in "${CMAKE_BINARY_DIR}/debian/changelog" @ONLY)

  # gzip -n: no name and no time in the header.
  add_custom_command(
    OUTPUT debian/olum2zavik.1.gz debian/changelog.gz
    COMMAND gzip -9n -c "${man_page}" > debian/olum2zavik.1.gz
    COMMAND gzip -9n -c debian/changelog > debian/changelog.gz
    DEPENDS "${man_page}" "${CMAKE_BINARY_DIR}/debian/changelog"
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
  add_custom_target(debian_files ALL DEPENDS debian/olum2zavik.1.gz debian/changelog.gz)

  # What each package holds besides the tool: cmake --install gives the man
  # page and the docs; the .deb and the archive take their own.
  install(FILES "${man_page}" DESTINATION share/man/man1 COMPONENT man)
  install(FILES README.md LICENSE DESTINATION share/doc/olum2zavik COMPONENT docs)
  install(FILES "${CMAKE_BINARY_DIR}/debian/olum2zavik.1.gz" DESTINATION share/man/man1
          COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES README.md "${CMAKE_BINARY_DIR}/debian/copyright" "${CMAKE_BINARY_DIR}/debian/changelog.gz"
          DESTINATION share/doc/olum2zavik COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME olum2zavik
          COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES README.md LICENSE DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME olum2zavik)
set(CPACK_PACKAGE_VENDOR "olum2zavik developers")
set(CPACK_PACKAGE_CONTACT "${O2Z_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts Olum maps into Zavik maps in place")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # an archive unpacks into a folder of its own
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" O2Z_PLATFORM)
set(CPACK_PACKAGE_FILE_NAME "olum2zavik-${PROJECT_VERSION}-${O2Z_PLATFORM}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Linked statically: the package needs no libraries.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  # The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Olum maps and Zavik maps are both BSP map files that differ in one byte of
their header. olum2zavik writes that byte into each map named on its command
line and leaves every other byte as it was: no copy is made, and a whole
folder of maps is converted in one run.
.
Maps may be named with or without the .bsp extension and in any letter case.
The tool prints one line per map that says whether it was converted, and it
never writes to anything that is not a map file, such as a directory, a
device or a file with another extension.")
endif()
# Per generator: what goes in, and where. Read by cpack, which also takes its
# timestamps from SOURCE_DATE_EPOCH.
configure_file(cmake/cpack-generators.cmake.in "${CMAKE_BINARY_DIR}/cpack-generators.cmake" @ONLY)
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/cpack-generators.cmake")
include(CPack)
