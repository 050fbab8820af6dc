# Run by cpack once it has built the packages of a generator: writes the field
# Built-Using, which cpack cannot, into each .deb's control file. It names the
# source packages whose code is linked into the program.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$" OR NOT CPACK_O2Z_BUILT_USING)
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${tree}/DEBIAN/control" control)
  string(REPLACE "\nDescription:" "\nBuilt-Using: ${CPACK_O2Z_BUILT_USING}\nDescription:" control "${control}")
  file(WRITE "${tree}/DEBIAN/control" "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b "${tree}" "${package}" OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
