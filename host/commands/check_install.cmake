# Installs the build into a folder of its own and checks that the program and
# its manual page, with every command in it, are there.
#   cmake -DBUILD=<build dir> -DPREFIX=<folder> -P check_install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
if(NOT EXISTS ${PREFIX}/bin/panelhost)
  message(FATAL_ERROR "no bin/panelhost in ${PREFIX}")
endif()
file(READ ${PREFIX}/share/man/man1/panelhost.1 page)
foreach(expected ".TH PANELHOST \"1\"" "panelhost run" "panelhost inspect" "panelhost render" "--trace FILE"
                 "Exit status")
  if(NOT page MATCHES "${expected}")
    message(FATAL_ERROR "the manual page lacks ${expected}")
  endif()
endforeach()
message(STATUS "panelhost and its manual page are installed in ${PREFIX}")
