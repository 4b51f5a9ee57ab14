# Writes the gzipped man page OUTPUT.gz of a program from its --help through help2man. With
# SUBCOMMANDS=ON the help of every subcommand the program lists is added after its own.
# Arguments: PROGRAM, NAME, SUMMARY, VERSION, HELP2MAN, SUBCOMMANDS, SECTIONS (help2man include
# file), WORK (a scratch folder), OUTPUT.
set(ENV{QT_QPA_PLATFORM} offscreen)  # the window program answers --help without a display
# Called by its bare name, as a user would, so that no build path shows in the usage lines.
get_filename_component(program_directory ${PROGRAM} DIRECTORY)
get_filename_component(program_name ${PROGRAM} NAME)
set(ENV{PATH} "${program_directory}:$ENV{PATH}")

function(help_of out)
  execute_process(COMMAND ${program_name} ${ARGN} --help OUTPUT_VARIABLE text ERROR_VARIABLE error
                  RESULT_VARIABLE result TIMEOUT 30)
  if(NOT result EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "${NAME} ${ARGN} --help failed (${result}): ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A subcommand's help as one help2man subsection: "Subcommand NAME:", its usage with its
# description, then its option lines (the help's own headings and empty lines dropped).
function(subcommand_section out name text)
  string(REGEX MATCH "^[^\n]*" description "${text}")
  string(REGEX MATCH "\nUsage: ([^\n]*)" usage "${text}")
  set(usage "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^[^\n]+" "" entries "${text}")
  string(REGEX REPLACE "\nUsage: [^\n]*" "" entries "${entries}")
  string(REGEX REPLACE "\n[A-Z][A-Za-z ]*:\n" "\n" entries "${entries}")
  string(REGEX REPLACE "\n\n+" "\n" entries "${entries}")
  string(REGEX REPLACE "^\n" "" entries "${entries}")
  set(${out} "Subcommand ${name}:\n  ${usage}\n                              ${description}\n${entries}"
      PARENT_SCOPE)
endfunction()

help_of(help)
if(SUBCOMMANDS)
  # The block after the "Subcommands:" heading, up to the next empty line: "  name  description".
  string(REGEX MATCH "\n[Ss][Uu][Bb][Cc][Oo][Mm][Mm][Aa][Nn][Dd][Ss]:\n.*" block "${help}")
  string(FIND "${block}" "\n\n" end)
  string(SUBSTRING "${block}" 0 ${end} block)
  string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" names "${block}")
  if(NOT names)
    message(FATAL_ERROR "${NAME} --help lists no subcommands")
  endif()
  foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    help_of(subcommand_help ${name})
    subcommand_section(section ${name} "${subcommand_help}")
    string(APPEND help "\n${section}")
  endforeach()
endif()

# help2man reads the help through a stand-in that prints it and the version.
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/${NAME}.help "${help}")
file(WRITE ${WORK}/${NAME}
     "#!/bin/sh\nif [ \"$1\" = --version ]; then echo '${NAME} ${VERSION}'; else cat '${WORK}/${NAME}.help'; fi\n")
file(CHMOD ${WORK}/${NAME} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${HELP2MAN} --no-info --section=1 "--name=${SUMMARY}"
                        --include=${SECTIONS} --output=${OUTPUT} ${WORK}/${NAME}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${NAME}")
endif()
# Reproducible compression (no name or time stamp), as Debian ships man pages.
execute_process(COMMAND gzip -9nf ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${OUTPUT}")
endif()
