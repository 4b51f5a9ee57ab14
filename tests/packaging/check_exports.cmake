# Checks that a shared library exports exactly the functions its public header declares, and that
# it carries the expected SONAME.
# Arguments: LIBRARY, HEADER, PREFIX (QUORLINK or LINKPAD), SONAME, NM, OBJDUMP.

# The declared functions: each statement that opens with <PREFIX>_API declares one, named by the
# identifier before its first parenthesis.
file(READ ${HEADER} text)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" text "${text}")  # comments
string(REGEX REPLACE "//[^\n]*" "" text "${text}")
string(REGEX REPLACE "(^|\n)[ \t]*#[^\n]*" "\\1" text "${text}")  # preprocessor lines
set(statements "${text}")  # a CMake list splits at every ";"
set(declared)
foreach(statement IN LISTS statements)
  string(STRIP "${statement}" statement)
  if(statement MATCHES "(^|[ \t\n])${PREFIX}_API[ \t\n]")
    string(FIND "${statement}" "(" open)
    string(SUBSTRING "${statement}" 0 ${open} head)
    string(REGEX MATCH "[A-Za-z_][A-Za-z0-9_]*[ \t\n]*$" name "${head}")
    string(STRIP "${name}" name)
    list(APPEND declared ${name})
  endif()
endforeach()
list(SORT declared)

# The exported functions and data: defined symbols of the dynamic symbol table.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE listing
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(exported)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+ ([A-Za-z]) ([^ @]+)")
    list(APPEND exported ${CMAKE_MATCH_2})
  endif()
endforeach()
list(SORT exported)

set(missing ${declared})
list(REMOVE_ITEM missing ${exported})
set(extra ${exported})
list(REMOVE_ITEM extra ${declared})
list(LENGTH declared count)
message(STATUS "${HEADER} declares ${count} functions")
if(missing OR extra OR count EQUAL 0)
  message(FATAL_ERROR "${LIBRARY}: declared but not exported: ${missing}\n"
                      "exported but not declared: ${extra}")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers)
if(NOT headers MATCHES "SONAME +${SONAME}\n")
  message(FATAL_ERROR "${LIBRARY}: SONAME is not ${SONAME}")
endif()
