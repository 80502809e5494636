# Writes the Windows resource script from the resource list:
#   cmake -DLIST=resources.list -DVERSION_RC=version.rc -DOUTPUT=orvane.rc -P make_rc.cmake
include("${CMAKE_CURRENT_LIST_DIR}/resource_list.cmake")
orvane_read_resource_list("${LIST}" RES)

set(rc "// Made from resources.list at build time; edit the list, not this file.\n\n")
list(LENGTH RES_IDS count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET RES_IDS ${i} id)
  list(GET RES_TYPES ${i} type)
  list(GET RES_FILES ${i} file)
  list(GET RES_LANGUAGES ${i} language)
  math(EXPR primary "${language} & 0x3FF" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR sub "${language} >> 10" OUTPUT_FORMAT HEXADECIMAL)
  string(APPEND rc "LANGUAGE ${primary}, ${sub}\n${id} ${type} \"${file}\"\n")
endforeach()
string(APPEND rc "\n#include \"${VERSION_RC}\"\n")

# Only a changed script is rewritten, so that an unchanged list costs no relink.
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL rc)
  file(WRITE "${OUTPUT}" "${rc}")
endif()
