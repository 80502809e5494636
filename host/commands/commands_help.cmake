# Writes help2man's include file: a COMMANDS section with each command's own
# --help, in the order panelhost lists them.
#   cmake -DPANELHOST=<program> -DOUTPUT=<file> -P commands_help.cmake
execute_process(COMMAND ${PANELHOST} --help OUTPUT_VARIABLE top RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PANELHOST} --help failed")
endif()
# The command names: the indented words under "Subcommands:".
string(REGEX REPLACE ".*Subcommands:\n" "" listed "${top}")
string(REPLACE "\n" ";" lines "${listed}")
set(names "")
foreach(line IN LISTS lines)
  if(line MATCHES "^  ([a-z]+) ")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
set(text "[COMMANDS]\n")
foreach(name ${names})
  execute_process(COMMAND ${PANELHOST} ${name} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PANELHOST} ${name} --help failed")
  endif()
  # roff: a backslash is written \e; a line must not start with . or '.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "\n([.'])" "\n\\\\&\\1" help "\n${help}")
  string(APPEND text ".SS \"panelhost ${name}\"\n.nf${help}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
