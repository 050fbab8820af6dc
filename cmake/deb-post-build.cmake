# Run by cpack once it has built the packages of a generator. A .deb is
# rebuilt from its own tree with the folders as every system has them
# (cpack makes some under the umask of whoever builds) and, for a static
# program, the field Built-Using, which cpack cannot write: the source
# packages whose code is linked into the program.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB_RECURSE folders LIST_DIRECTORIES true "${tree}/*")
  foreach(folder IN LISTS folders)
    if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
      file(CHMOD "${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                         WORLD_EXECUTE)
    endif()
  endforeach()
  file(CHMOD "${tree}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  if(CPACK_O2Z_BUILT_USING)
    file(READ "${tree}/DEBIAN/control" control)
    string(REPLACE "\nDescription:" "\nBuilt-Using: ${CPACK_O2Z_BUILT_USING}\nDescription:" control "${control}")
    file(WRITE "${tree}/DEBIAN/control" "${control}")
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b "${tree}" "${package}" OUTPUT_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
