# The callout of the real module on the platform's real DirectSound, under
# Wine: the panel host flies scenarios with Wine's sound output going to a
# file, in which the callouts are counted against the recording.
find_program(OBJDUMP_PROGRAM NAMES i686-w64-mingw32-objdump objdump)
add_test(NAME callout_imports_direct_sound_by_ordinal
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP_PROGRAM} -DMODULE=$<TARGET_FILE:orvane>
                 -P ${CMAKE_CURRENT_LIST_DIR}/callout_import_check.cmake)

set(callout_wave ${CMAKE_SOURCE_DIR}/res/callout.wav)
find_program(WINE_PROGRAM wine)
if(NOT WINE_PROGRAM OR NOT TARGET panelhost)
  message(STATUS "Callout sound tests need wine and the panel host; not added")
  return()
endif()

add_executable(callout_capture_check ${CMAKE_CURRENT_LIST_DIR}/callout_capture_check.cpp)
target_link_options(callout_capture_check PRIVATE -static-libgcc -static-libstdc++)

# name | scenario | main window | callouts expected in the recording
foreach(row
    "descents|${CMAKE_SOURCE_DIR}/tests/scenarios/dh_callout.scn|fs98|4"
    "below|${CMAKE_CURRENT_LIST_DIR}/callout_below.scn|fs98|0"
    "once_without_main_window|${CMAKE_CURRENT_LIST_DIR}/callout_once.scn|none|1")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 name)
  list(GET row 1 scenario)
  list(GET row 2 window)
  list(GET row 3 count)
  add_test(NAME callout_wine_${name}
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/callout_capture.sh $<TARGET_FILE:callout_capture_check> ${callout_wave}
                   ${count} $<TARGET_FILE:panelhost> run $<TARGET_FILE:orvane> ${scenario} --main-window ${window})
  set_tests_properties(callout_wine_${name} PROPERTIES TIMEOUT 300 LABELS wine)
endforeach()
