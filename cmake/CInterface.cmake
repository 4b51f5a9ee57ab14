# Shared libraries with a C interface export exactly the functions their public header declares.
#
# quorvel_c_exports(<out-var> <header> <prefix>) reads the names of the functions the header
# declares as "<prefix>_API <type> <prefix>_CALL <name>(".
function(quorvel_c_exports out header prefix)
  file(READ ${header} text)
  set(space "[ \t\r\n]")
  string(REGEX MATCHALL "${prefix}_API${space}+[A-Za-z0-9_ *]+${space}${prefix}_CALL${space}+[A-Za-z_][A-Za-z0-9_]*${space}*\\("
         declarations "${text}")
  set(names)
  foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE ".*_CALL${space}+([A-Za-z_][A-Za-z0-9_]*)${space}*\\($" "\\1" name "${declaration}")
    list(APPEND names ${name})
  endforeach()
  if(NOT names)
    message(FATAL_ERROR "no ${prefix}_API functions found in ${header}")
  endif()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# quorvel_c_interface(<target> HEADER <header> PREFIX <prefix>) gives the shared library <target>
# a linker version script that keeps the header's functions global and every other symbol local,
# binds the library's own calls inside it (-Bsymbolic), and sets its version and SONAME.
function(quorvel_c_interface target)
  cmake_parse_arguments(ARG "" "HEADER;PREFIX" "" ${ARGN})
  quorvel_c_exports(names ${ARG_HEADER} ${ARG_PREFIX})
  list(JOIN names ";\n    " globals)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(CONFIGURE OUTPUT ${script} CONTENT "{\n  global:\n    ${globals};\n  local: *;\n};\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_HEADER})
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,-Bsymbolic)
  set_target_properties(${target} PROPERTIES
    LINK_DEPENDS ${script}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
endfunction()
