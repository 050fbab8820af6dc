# THIRD-PARTY-NOTICES.txt of a static program: each library linked into it,
# with its exact version, the Debian package it comes from and where its
# corresponding source is; their notices, as Debian's packages give them; and
# the full text of every licence those notices name, so that the file stands
# alone where /usr/share/common-licenses does not exist (Arch, Fedora,
# Windows). Sets O2Z_BUILT_USING, and o2z_notices_missing where something
# could not be had: then the notices are not written, and nothing that
# would ship without them can be installed or packaged.

# what ; the Debian package linked from ; the source package its code comes from
string(REGEX MATCH "^[0-9]+" gcc_major "${CMAKE_CXX_COMPILER_VERSION}")
if(WIN32)
  string(REPLACE "_" "-" mingw_arch "${CMAKE_SYSTEM_PROCESSOR}")
  set(o2z_linked "MinGW-w64 runtime and winpthreads" "mingw-w64-${mingw_arch}-dev" mingw-w64
                 "GCC runtime libraries (libstdc++, libgcc, libssp)" "g++-mingw-w64-${mingw_arch}-posix" "gcc-${gcc_major}")
elseif(CMAKE_CROSSCOMPILING)
  set(o2z_linked "GNU C Library" "libc6-dev-${O2Z_DEBIAN_ARCH}-cross" glibc
                 "GCC runtime libraries (libstdc++, libgcc)" "libstdc++-${gcc_major}-dev-${O2Z_DEBIAN_ARCH}-cross"
                 "gcc-${gcc_major}")
else()
  set(o2z_linked "GNU C Library" libc6-dev glibc
                 "GCC runtime libraries (libstdc++, libgcc)" "libstdc++-${gcc_major}-dev" "gcc-${gcc_major}")
endif()

# Where Debian keeps a source package of one version.
function(o2z_source_at name version out)
  string(REPLACE "+" "%2B" quoted "${version}")
  set(${out} "  https://snapshot.debian.org/package/${name}/${quoted}/\n  apt-get source ${name}=${version}\n" PARENT_SCOPE)
endfunction()

set(o2z_contact "")
if(o2z_maintainer)
  set(o2z_contact "Ask the maintainer of the package: ${o2z_maintainer}.\n")
endif()
string(CONCAT part1
  "olum2zavik is MIT licensed (see LICENSE). Its program file, built for ${CMAKE_SYSTEM_NAME} "
  "${CMAKE_SYSTEM_PROCESSOR},\nalso holds code of the libraries below, linked into it statically.\n"
  "Part 1 names each, with its exact version and where its corresponding source is; part 2 holds\n"
  "their copyright notices and licence terms as Debian's packages give them; part 3 holds the full\n"
  "text of every licence that part 2 names. Where part 2 points to /usr/share/common-licenses/NAME,\n"
  "that text is in part 3 under NAME.\n\n"
  "Corresponding source, and a written offer: the source of each library is at the places named\n"
  "below, as Debian publishes it. For at least three years from this release, the olum2zavik\n"
  "developers will also give anyone who asks a copy of it, on a medium customarily used for\n"
  "software interchange, for no more than the cost of making and sending it. The complete source\n"
  "of olum2zavik itself, from which the program can be rebuilt and relinked against a modified\n"
  "library, is free under the MIT licence and offered on the same terms.\n${o2z_contact}\n"
  "==== Part 1: the libraries linked into the program ====\n")
set(part2 "\n==== Part 2: their notices ====\n")
set(licence_names "")
set(O2Z_BUILT_USING "")
while(o2z_linked)
  list(POP_FRONT o2z_linked what package code_source)
  execute_process(COMMAND dpkg-query -W "-f=\${Version}\t\${source:Package}\t\${source:Version}\t\${Architecture}"
                          ${package}
                  OUTPUT_VARIABLE answer RESULT_VARIABLE failed ERROR_QUIET)
  set(copyright "/usr/share/doc/${package}/copyright")
  if(failed OR NOT EXISTS "${copyright}")
    string(APPEND o2z_notices_missing " the Debian package ${package} (${what}) is not installed here;")
    continue()
  endif()
  string(REPLACE "\t" ";" answer "${answer}")
  list(GET answer 0 version)
  list(GET answer 1 source)
  list(GET answer 2 source_version)
  list(GET answer 3 arch)
  list(APPEND O2Z_BUILT_USING "${source} (= ${source_version})")
  # A cross or MinGW package names its version after the code it carries:
  # 2.36-8cross1 is glibc 2.36-8, 12.2.0-14+deb12u1+25.2+b1 is GCC 12.2.0-14+deb12u1.
  set(code_version "${source_version}")
  if(NOT source STREQUAL code_source)
    string(REGEX REPLACE "(cross[0-9]+|\\+[0-9.]+(\\+b[0-9]+)?)$" "" code_version "${version}")
  endif()
  string(APPEND part1 "\n${what} ${code_version}, for ${CMAKE_SYSTEM_PROCESSOR}\n")
  string(APPEND part1 "  linked from: Debian's package ${package} ${version} (${arch})\n")
  o2z_source_at(${source} ${source_version} at)
  string(APPEND part1 "  corresponding source: Debian's source package ${source} ${source_version}\n${at}")
  if(NOT source STREQUAL code_source)
    o2z_source_at(${code_source} ${code_version} at)
    string(APPEND part1 "  which builds it from Debian's source package ${code_source} ${code_version}\n${at}")
  endif()
  file(READ "${copyright}" text)
  string(APPEND part2 "\n---- ${what}: ${copyright} of ${package} ${version} ----\n\n${text}")
  string(REGEX MATCHALL "/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]" named "${text}")
  list(APPEND licence_names ${named})
endwhile()
list(JOIN O2Z_BUILT_USING ", " O2Z_BUILT_USING)

set(part3 "\n==== Part 3: the licences, in full ====\n")
# Each text once, under every name it is given (GPL is GPL-3).
set(texts "")
foreach(licence IN LISTS licence_names)
  get_filename_component(real "${licence}" REALPATH)
  get_filename_component(name "${licence}" NAME)
  if(NOT EXISTS "${real}")
    string(APPEND o2z_notices_missing " ${licence} is not here;")
    continue()
  endif()
  string(MAKE_C_IDENTIFIER "${real}" key)
  if(NOT DEFINED names_${key})
    list(APPEND texts "${real}")
    get_filename_component(names_${key} "${real}" NAME)
  endif()
  list(APPEND names_${key} "${name}")
endforeach()
foreach(real IN LISTS texts)
  string(MAKE_C_IDENTIFIER "${real}" key)
  list(REMOVE_DUPLICATES names_${key})
  list(JOIN names_${key} ", " names)
  file(READ "${real}" text)
  string(APPEND part3 "\n---- ${names} ----\n\n${text}")
endforeach()
if(NOT licence_names)
  string(APPEND o2z_notices_missing " the notices name no licence text;")
endif()

if(o2z_notices_missing)
  message(WARNING "The notices of the code linked into the program cannot be gathered:${o2z_notices_missing} "
                  "the tool builds, but nothing that would ship it can be installed or packaged")
else()
  file(WRITE "${O2Z_NOTICES}" "${part1}${part2}${part3}")
endif()
