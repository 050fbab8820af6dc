# Release files and packages: the man page; for Linux a Debian package (.deb),
# an RPM and a portable archive (.tar.gz); for Windows a .zip; each with a
# SHA-256 file beside it. Whatever holds the program holds the notices of the
# code linked into it too. Two builds of one commit give the same bytes: every
# timestamp is SOURCE_DATE_EPOCH where it is set, else the last commit's time.

include(GNUInstallDirs)

# Git answers for a checkout that another user owns too: that is no reason to
# build another package.
find_package(Git QUIET)
set(o2z_git "${GIT_EXECUTABLE}" -c "safe.directory=${CMAKE_SOURCE_DIR}" -C "${CMAKE_SOURCE_DIR}")
set(o2z_from_git OFF)
if(EXISTS "${CMAKE_SOURCE_DIR}/.git" AND GIT_FOUND)
  set(o2z_from_git ON)
elseif(EXISTS "${CMAKE_SOURCE_DIR}/.git")
  message(WARNING "No git here: the packages take their dates from files, not from the commit")
endif()

# A field with no true value is left out: no made-up address or home page.
# The maintainer is whoever made the commit that is built, unless a packager
# names themselves.
set(O2Z_MAINTAINER "" CACHE STRING "The packages' maintainer, as: name <address> (default: the last commit's author)")
set(O2Z_HOMEPAGE "" CACHE STRING "The project's home page, for the packages (default: none)")
set(o2z_maintainer "${O2Z_MAINTAINER}")
if(NOT o2z_maintainer AND o2z_from_git)
  execute_process(COMMAND ${o2z_git} log -1 "--format=%an <%ae>" OUTPUT_VARIABLE o2z_maintainer
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(O2Z_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
elseif(o2z_from_git)
  execute_process(COMMAND ${o2z_git} log -1 --format=%ct OUTPUT_VARIABLE O2Z_SOURCE_DATE_EPOCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
else()
  # A tree without its history: its files keep the release's time.
  file(TIMESTAMP "${CMAKE_SOURCE_DIR}/CMakeLists.txt" O2Z_SOURCE_DATE_EPOCH "%s" UTC)
  message(STATUS "No git history: timestamps from CMakeLists.txt (${O2Z_SOURCE_DATE_EPOCH}); set SOURCE_DATE_EPOCH to choose")
endif()
# string(TIMESTAMP) reads the time from here.
set(ENV{SOURCE_DATE_EPOCH} "${O2Z_SOURCE_DATE_EPOCH}")
string(TIMESTAMP O2Z_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP O2Z_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP O2Z_RPM_CHANGELOG_DATE "%a %b %d %Y" UTC)

# Debian's and RPM's names for the target machine.
set(o2z_machines x86_64 amd64 x86_64 aarch64 arm64 aarch64 armhf armhf armv7hl)
list(FIND o2z_machines "${CMAKE_SYSTEM_PROCESSOR}" at)
if(NOT WIN32 AND at GREATER_EQUAL 0)
  math(EXPR deb_at "${at} + 1")
  math(EXPR rpm_at "${at} + 2")
  list(GET o2z_machines ${deb_at} O2Z_DEBIAN_ARCH)
  list(GET o2z_machines ${rpm_at} O2Z_RPM_ARCH)
endif()

# A static program holds the C library and GCC's C++ and support libraries,
# or MinGW-w64's runtime and winpthreads: for each, the Debian package it is
# linked from and the source its code comes from. Their licences ask that
# their notices and licence texts travel with the program, and that its
# users can have the source. A dynamic program holds none of them.
set(O2Z_NOTICES "${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt")
set(O2Z_BUILT_USING "")
set(o2z_notices_missing "")
if(O2Z_LINKED_STATICALLY)
  include(${CMAKE_CURRENT_LIST_DIR}/notices.cmake)
endif()
set(CPACK_PACKAGE_VENDOR "the olum2zavik developers")

# Folders as every system has them, whatever the umask of whoever installs or
# packages: CMake makes them under it. Each folder that an install makes (and
# only those: /usr/local/share may rightly be 2775) is set to 0755 once it is done.
set(o2z_dir_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${o2z_dir_permissions})
set(o2z_folders "")
foreach(folder "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_MANDIR}/man1" "${CMAKE_INSTALL_DOCDIR}/docs" docs
               "${CMAKE_INSTALL_DATADIR}/lintian/overrides" "${CMAKE_INSTALL_DATADIR}/licenses/olum2zavik")
  while(folder AND NOT IS_ABSOLUTE "${folder}")
    list(APPEND o2z_folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES o2z_folders)
# The folders above the prefix count too: DESTDIR itself, and its usr/.
install(CODE "set(o2z_made_folders \"\")
  foreach(folder IN ITEMS . ${o2z_folders})
    set(path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${folder}\")
    while(path AND NOT EXISTS \"\${path}\")
      list(APPEND o2z_made_folders \"\${path}\")
      get_filename_component(path \"\${path}\" DIRECTORY)
    endwhile()
  endforeach()" ALL_COMPONENTS)

# The notices go wherever the program goes, for a static one. Where they could
# not be gathered, installing what would hold them fails.
function(o2z_install_notices destination component)
  if(NOT O2Z_LINKED_STATICALLY)
    return()
  elseif(o2z_notices_missing)
    install(CODE "message(FATAL_ERROR \"No third-party notices:${o2z_notices_missing} see the configure step\")"
            COMPONENT ${component} ${ARGN})
  else()
    install(FILES "${O2Z_NOTICES}" DESTINATION "${destination}" COMPONENT ${component} ${ARGN})
  endif()
endfunction()

# README.md links the pages in docs/, so they go wherever it goes.
file(GLOB o2z_doc_pages CONFIGURE_DEPENDS docs/*.md)
function(o2z_install_readme destination component)
  install(FILES README.md DESTINATION "${destination}" COMPONENT ${component} ${ARGN})
  install(FILES ${o2z_doc_pages} DESTINATION "${destination}/docs" COMPONENT ${component} ${ARGN})
endfunction()

if(WIN32)
  # The .exe beside README.md, LICENSE and the notices, where Windows users look.
  install(TARGETS olum2zavik RUNTIME DESTINATION . COMPONENT tool)
  install(FILES LICENSE DESTINATION . COMPONENT docs)
  o2z_install_readme(. docs)
  o2z_install_notices(. docs)
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
  set(O2Z_CHANGELOG_AUTHOR "${o2z_maintainer}")
  if(NOT O2Z_CHANGELOG_AUTHOR)
    set(O2Z_CHANGELOG_AUTHOR "${CPACK_PACKAGE_VENDOR}")
  endif()
  configure_file(packaging/changelog.in "${CMAKE_BINARY_DIR}/debian/changelog" @ONLY)
  configure_file(packaging/rpm-changelog.in "${CMAKE_BINARY_DIR}/rpm/changelog" @ONLY)

  # gzip -n: no name and no time in the header.
  add_custom_command(
    OUTPUT olum2zavik.1.gz debian/changelog.gz
    COMMAND gzip -9n -c "${man_page}" > olum2zavik.1.gz
    COMMAND gzip -9n -c debian/changelog > debian/changelog.gz
    DEPENDS "${man_page}" "${CMAKE_BINARY_DIR}/debian/changelog"
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
  add_custom_target(compressed_docs ALL DEPENDS olum2zavik.1.gz debian/changelog.gz)

  # What each package holds besides the tool. cmake --install and the archive:
  # the man page as it is; the .deb and the RPM: their own files, each by its
  # distribution's conventions.
  install(FILES "${man_page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT man)
  install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT docs)
  o2z_install_readme("${CMAKE_INSTALL_DOCDIR}" docs)
  o2z_install_notices("${CMAKE_INSTALL_DOCDIR}" docs)
  install(FILES LICENSE DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
  o2z_install_readme(. archive EXCLUDE_FROM_ALL)
  o2z_install_notices(. archive EXCLUDE_FROM_ALL)
  foreach(package debian rpm)
    install(FILES "${CMAKE_BINARY_DIR}/olum2zavik.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
            COMPONENT ${package} EXCLUDE_FROM_ALL)
    o2z_install_readme("${CMAKE_INSTALL_DOCDIR}" ${package} EXCLUDE_FROM_ALL)
    o2z_install_notices("${CMAKE_INSTALL_DOCDIR}" ${package} EXCLUDE_FROM_ALL)
  endforeach()
  install(FILES "${CMAKE_BINARY_DIR}/debian/copyright" "${CMAKE_BINARY_DIR}/debian/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DOCDIR}" COMPONENT debian EXCLUDE_FROM_ALL)
  if(O2Z_LINKED_STATICALLY)
    install(FILES packaging/lintian-overrides DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides"
            RENAME olum2zavik COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
  install(FILES LICENSE DESTINATION "${CMAKE_INSTALL_DATADIR}/licenses/olum2zavik" COMPONENT rpm EXCLUDE_FROM_ALL)
endif()

install(CODE "foreach(folder IN LISTS o2z_made_folders)
    if(IS_DIRECTORY \"\${folder}\")
      file(CHMOD \"\${folder}\" PERMISSIONS ${o2z_dir_permissions})
    endif()
  endforeach()" ALL_COMPONENTS)

set(CPACK_PACKAGE_NAME olum2zavik)
set(CPACK_PACKAGE_CONTACT "${o2z_maintainer}")
if(O2Z_HOMEPAGE)
  set(CPACK_PACKAGE_HOMEPAGE_URL "${O2Z_HOMEPAGE}")
  set(CPACK_RPM_PACKAGE_URL "${O2Z_HOMEPAGE}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts Olum maps into Zavik maps in place")
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
# The source alone, in one format: what git holds, nothing that a build made.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME "olum2zavik-${PROJECT_VERSION}")
string(REPLACE "." "\\\\." o2z_binary_dir "${CMAKE_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "^${o2z_binary_dir}/" "^${CMAKE_SOURCE_DIR}/build/")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR "RPM;TGZ")
  if(o2z_maintainer)
    list(PREPEND CPACK_GENERATOR DEB)
  else()
    message(STATUS "No .deb: Debian's packages need a maintainer (-DO2Z_MAINTAINER=\"name <address>\")")
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${O2Z_DEBIAN_ARCH}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; an empty
  # line is written " ." in Debian's control file.
  string(REPLACE "\n\n" "\n.\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${o2z_description}")
  # Linked statically, the program needs no library but names the sources of
  # those it holds (Built-Using, which cpack cannot write: a script adds it);
  # linked dynamically, it depends on the libraries the packaging tools find.
  if(O2Z_LINKED_STATICALLY)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
    set(CPACK_O2Z_BUILT_USING "${O2Z_BUILT_USING}")
  else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
  set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/cmake/deb-post-build.cmake")

  set(CPACK_RPM_FILE_NAME RPM-DEFAULT)  # name-version-release.arch.rpm
  set(CPACK_RPM_PACKAGE_RELEASE 1)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE "${O2Z_RPM_ARCH}")
  set(CPACK_RPM_PACKAGE_LICENSE MIT)
  set(CPACK_RPM_PACKAGE_DESCRIPTION "${o2z_description}")
  set(CPACK_PACKAGE_RELOCATABLE OFF)
  set(CPACK_RPM_PACKAGE_RELOCATABLE OFF)
  # A static program needs nothing; rpm finds what a dynamic one needs.
  if(O2Z_LINKED_STATICALLY)
    set(CPACK_RPM_PACKAGE_AUTOREQ OFF)
  else()
    set(CPACK_RPM_PACKAGE_AUTOREQ ON)
  endif()
  set(CPACK_RPM_CHANGELOG_FILE "${CMAKE_BINARY_DIR}/rpm/changelog")
  set(CPACK_RPM_USER_FILELIST "%license /usr/share/licenses/olum2zavik/LICENSE")
  set(CPACK_RPM_DEFAULT_DIR_PERMISSIONS ${o2z_dir_permissions})
  # Folders of the system's own: the package owns none of them.
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1 /usr/share/licenses)
  # The files are stripped already and must stay as built: no scripts after
  # the install, a fixed build host, times from SOURCE_DATE_EPOCH.
  set(o2z_packager "")
  if(o2z_maintainer)
    set(o2z_packager "%define packager ${o2z_maintainer}\n")
  endif()
  set(CPACK_RPM_SPEC_MORE_DEFINE "${o2z_packager}%define __os_install_post %{nil}
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
