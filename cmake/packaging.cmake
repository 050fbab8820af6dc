# Release files and packages: the man page; for Linux a Debian package (.deb),
# an RPM and a portable archive (.tar.gz); for Windows a .zip; each with a
# SHA-256 file beside it. Whatever holds the program holds the notices of the
# code linked into it too. Two builds of one commit give the same bytes: every
# timestamp is SOURCE_DATE_EPOCH where it is set, else the last commit's time.

include(GNUInstallDirs)

set(O2Z_MAINTAINER "olum2zavik developers <maintainers@olum2zavik.example>"
    CACHE STRING "The packages' maintainer, as: name <address>")
set(O2Z_HOMEPAGE "https://olum2zavik.example/" CACHE STRING "The project's home page, for the packages")

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

# Debian's and RPM's names for the target machine.
set(o2z_machines x86_64 amd64 x86_64 aarch64 arm64 aarch64 armhf armhf armv7hl)
list(FIND o2z_machines "${CMAKE_SYSTEM_PROCESSOR}" at)
if(NOT WIN32 AND at GREATER_EQUAL 0)
  math(EXPR deb_at "${at} + 1")
  math(EXPR rpm_at "${at} + 2")
  list(GET o2z_machines ${deb_at} O2Z_DEBIAN_ARCH)
  list(GET o2z_machines ${rpm_at} O2Z_RPM_ARCH)
endif()

# The code linked into the program, by the Debian package it comes from: the
# C library and GCC's C++ and support libraries, or MinGW-w64's runtime and
# winpthreads. Their licences ask that their notices travel with the program;
# the texts are those of Debian's copyright files of these packages.
string(REGEX MATCH "^[0-9]+" gcc_major "${CMAKE_CXX_COMPILER_VERSION}")
if(WIN32)
  string(REPLACE "_" "-" mingw_arch "${CMAKE_SYSTEM_PROCESSOR}")
  set(o2z_linked "MinGW-w64 runtime and winpthreads" "mingw-w64-${mingw_arch}-dev"
                 "GCC runtime libraries (libstdc++, libgcc)" "g++-mingw-w64-${mingw_arch}-posix")
elseif(CMAKE_CROSSCOMPILING)
  set(o2z_linked "GNU C Library" "libc6-dev-${O2Z_DEBIAN_ARCH}-cross"
                 "GCC runtime libraries (libstdc++, libgcc)" "libstdc++-${gcc_major}-dev-${O2Z_DEBIAN_ARCH}-cross")
else()
  set(o2z_linked "GNU C Library" "libc6-dev" "GCC runtime libraries (libstdc++, libgcc)" "libstdc++-${gcc_major}-dev")
endif()
set(notices "olum2zavik is MIT licensed (see LICENSE). Its program file also holds code of the libraries below,\n")
string(APPEND notices "linked into it when it was built; their licences ask that these notices travel with it.\n")
string(APPEND notices "The sources of olum2zavik are free to rebuild and relink against other versions of them.\n")
set(O2Z_BUILT_USING "")
while(o2z_linked)
  list(POP_FRONT o2z_linked what package)
  execute_process(COMMAND dpkg-query -W "-f=\${source:Package} (= \${source:Version})" ${package}
                  OUTPUT_VARIABLE source RESULT_VARIABLE failed ERROR_QUIET)
  set(copyright "/usr/share/doc/${package}/copyright")
  if(failed OR NOT EXISTS "${copyright}")
    message(WARNING "No Debian package ${package} here: the packages will lack the notices of the ${what}")
    string(APPEND notices "\n\n==== ${what}: its notices were not at hand when this was built ====\n")
    continue()
  endif()
  list(APPEND O2Z_BUILT_USING "${source}")
  file(READ "${copyright}" text)
  string(APPEND notices "\n\n==== ${what}, from Debian's package ${package}, source ${source} ====\n\n${text}")
endwhile()
list(JOIN O2Z_BUILT_USING ", " O2Z_BUILT_USING)
set(O2Z_NOTICES "${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt")
file(WRITE "${O2Z_NOTICES}" "${notices}")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  # The .exe beside README.md, LICENSE and the notices, where Windows users look.
  install(TARGETS olum2zavik RUNTIME DESTINATION . COMPONENT tool)
  install(FILES README.md LICENSE "${O2Z_NOTICES}" DESTINATION . COMPONENT docs)
else()
  install(TARGETS olum2zavik RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT tool)
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

  # What each package holds besides the tool: cmake --install and the RPM give
  # the man page and the docs; the .deb and the archive take their own.
  install(FILES "${man_page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT man)
  install(FILES README.md LICENSE "${O2Z_NOTICES}" DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT docs)
  install(FILES "${CMAKE_BINARY_DIR}/debian/olum2zavik.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
          COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES README.md "${O2Z_NOTICES}" "${CMAKE_BINARY_DIR}/debian/copyright"
                "${CMAKE_BINARY_DIR}/debian/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES packaging/lintian-overrides DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME olum2zavik
          COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES README.md LICENSE "${O2Z_NOTICES}" DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME olum2zavik)
set(CPACK_PACKAGE_VENDOR "olum2zavik developers")
set(CPACK_PACKAGE_CONTACT "${O2Z_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${O2Z_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts Olum maps into Zavik maps in place")
set(o2z_description
    "Olum maps and Zavik maps are both BSP map files that differ in one byte of
their header. olum2zavik writes that byte into each map named on its command
line and leaves every other byte as it was: no copy is made, and a whole
folder of maps is converted in one run.

Maps may be named with or without the .bsp extension and in any letter case.
The tool prints one line per map that says whether it was converted, and it
never writes to anything that is not a map file, such as a directory, a
device, a file with another extension or a link to one.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_RPM_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # an archive unpacks into a folder of its own
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" O2Z_PLATFORM)
set(CPACK_PACKAGE_FILE_NAME "olum2zavik-${PROJECT_VERSION}-${O2Z_PLATFORM}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR "DEB;RPM;TGZ")
  # Linked statically: neither package needs a library.
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${O2Z_DEBIAN_ARCH}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  # The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; an empty
  # line is written " ." in Debian's control file.
  string(REPLACE "\n\n" "\n.\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${o2z_description}")
  # cpack writes no Built-Using field; a script adds it to the built package.
  set(CPACK_O2Z_BUILT_USING "${O2Z_BUILT_USING}")
  set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/cmake/deb-built-using.cmake")

  set(CPACK_RPM_FILE_NAME RPM-DEFAULT)  # name-version-release.arch.rpm
  set(CPACK_RPM_PACKAGE_RELEASE 1)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE "${O2Z_RPM_ARCH}")
  set(CPACK_RPM_PACKAGE_LICENSE MIT)
  set(CPACK_RPM_PACKAGE_GROUP "Applications/File")
  set(CPACK_RPM_PACKAGE_URL "${O2Z_HOMEPAGE}")
  set(CPACK_RPM_PACKAGE_DESCRIPTION "${o2z_description}")
  set(CPACK_RPM_PACKAGE_AUTOREQ OFF)
  # Folders of the system's own: the package owns none of them.
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1)
  # The files are stripped already and must stay as built: no scripts after
  # the install, a fixed build host, times from SOURCE_DATE_EPOCH.
  set(CPACK_RPM_SPEC_MORE_DEFINE "%define __os_install_post %{nil}
%define _build_id_links none
%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1")
endif()
# Per generator: what goes in, and where. Read by cpack, which also takes its
# timestamps from SOURCE_DATE_EPOCH.
configure_file(cmake/cpack-generators.cmake.in "${CMAKE_BINARY_DIR}/cpack-generators.cmake" @ONLY)
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/cpack-generators.cmake")
include(CPack)
