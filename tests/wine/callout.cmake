# The callout of the real module on the platform's real DirectSound, under
# Wine, and the module's import of it.
find_program(OBJDUMP_PROGRAM NAMES i686-w64-mingw32-objdump objdump)
add_test(NAME callout_imports_direct_sound_by_ordinal
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP_PROGRAM} -DMODULE=$<TARGET_FILE:orvane>
                 -P ${CMAKE_CURRENT_LIST_DIR}/callout_import_check.cmake)
orvane_shipped_tests(callout_imports_direct_sound_by_ordinal)

set(callout_wave ${CMAKE_SOURCE_DIR}/res/callout.wav)
# The recordings need the Wine runner, which gives each program Wine's sound
# output as a WAVE file.
if(NOT DEFINED ORVANE_RUN_WINE OR NOT TARGET panelhost)
  return()
endif()

add_executable(callout_capture_check ${CMAKE_CURRENT_LIST_DIR}/callout_capture_check.cpp)
target_link_options(callout_capture_check PRIVATE -static-libgcc -static-libstdc++)
file(MAKE_DIRECTORY ${ORVANE_WINE_ROOT}/sound)

# The first sound of a new Wine instance. Wine's audio, asked for a device by
# two programs at once while the instance is still new, has been seen to
# refuse one (a callout flown with no sound); one program making the first
# device alone, tried up to three times, leaves it ready for the rest.
add_test(NAME callout.wine.audio_ready
         COMMAND sh -c "for try in 1 2 3; do \"$0\" --root \"$1\" \"$2\" run \"$3\" \"$4\" --main-window none >/dev/null && exit 0; echo \"Wine's audio was not ready at try $try\"; sleep 2; done; exit 1"
                 ${ORVANE_RUN_WINE} ${ORVANE_WINE_ROOT} $<TARGET_FILE:panelhost> $<TARGET_FILE:orvane>
                 ${CMAKE_CURRENT_LIST_DIR}/callout_once.scn)
set_tests_properties(callout.wine.audio_ready PROPERTIES FIXTURES_SETUP wine_audio_ready)
orvane_shipped_tests(callout.wine.audio_ready)

# name | scenario | main window | callouts expected in the recording. The
# panel host flies the scenario with Wine's sound output going to a file;
# then the callouts in it are counted.
foreach(row
    "descents|${CMAKE_SOURCE_DIR}/tests/scenarios/dh_callout.scn|fs98|4"
    "below|${CMAKE_CURRENT_LIST_DIR}/callout_below.scn|fs98|0"
    "once_without_main_window|${CMAKE_CURRENT_LIST_DIR}/callout_once.scn|none|1")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 name)
  list(GET row 1 scenario)
  list(GET row 2 window)
  list(GET row 3 count)
  set(recording ${ORVANE_WINE_ROOT}/sound/callout_${name}.wav)
  # No recording of an earlier run may stand in for this one.
  add_test(NAME callout.wine.${name}.clear COMMAND ${CMAKE_COMMAND} -E rm -f ${recording})
  add_test(NAME callout.wine.${name}.fly
           COMMAND panelhost run $<TARGET_FILE:orvane> ${scenario} --main-window ${window})
  add_test(NAME callout.wine.${name}.heard COMMAND callout_capture_check ${recording} ${callout_wave} ${count})
  set_tests_properties(callout.wine.${name}.clear PROPERTIES FIXTURES_SETUP callout_${name}_cleared
                       RESOURCE_LOCK callout_${name})
  set_tests_properties(callout.wine.${name}.fly PROPERTIES ENVIRONMENT ORVANE_SOUND_CAPTURE=${recording}
                       FIXTURES_REQUIRED "callout_${name}_cleared;wine_audio_ready" FIXTURES_SETUP callout_${name}
                       RESOURCE_LOCK callout_${name})
  set_tests_properties(callout.wine.${name}.heard PROPERTIES FIXTURES_REQUIRED callout_${name}
                       RESOURCE_LOCK callout_${name})
  orvane_shipped_tests(callout.wine.${name}.clear callout.wine.${name}.fly callout.wine.${name}.heard)
endforeach()
