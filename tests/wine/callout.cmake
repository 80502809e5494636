# The callout of the real module on the platform's real DirectSound, under
# Wine: each plan is flown by a small host program, with Wine's sound output
# going to a file in which the callouts are counted against the recording.
find_program(OBJDUMP_PROGRAM NAMES i686-w64-mingw32-objdump objdump)
add_test(NAME callout_imports_direct_sound_by_ordinal
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP_PROGRAM} -DMODULE=$<TARGET_FILE:orvane>
                 -P ${CMAKE_CURRENT_LIST_DIR}/callout_import_check.cmake)

set(callout_wave ${CMAKE_SOURCE_DIR}/res/callout.wav)
find_program(WINE_PROGRAM wine)
if(NOT EXISTS ${callout_wave} OR NOT WINE_PROGRAM)
  message(STATUS "Callout sound tests under Wine need res/callout.wav and wine; not added")
  return()
endif()

add_executable(callout_wine_play ${CMAKE_CURRENT_LIST_DIR}/callout_wine_play.cpp)
target_link_libraries(callout_wine_play PRIVATE panelhost_core)
target_link_options(callout_wine_play PRIVATE -static-libgcc -static-libstdc++)

add_executable(callout_capture_check ${CMAKE_CURRENT_LIST_DIR}/callout_capture_check.cpp)
target_link_options(callout_capture_check PRIVATE -static-libgcc -static-libstdc++)

# plan, callouts expected in the recording
foreach(plan_and_count descend-twice:2 stay-below:0 no-window:1)
  string(REPLACE ":" ";" parts ${plan_and_count})
  list(GET parts 0 plan)
  list(GET parts 1 count)
  add_test(NAME callout_wine_${plan}
           COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/callout_capture.sh $<TARGET_FILE:callout_wine_play> $<TARGET_FILE:orvane>
                   $<TARGET_FILE:callout_capture_check> ${callout_wave} ${plan} ${count})
  set_tests_properties(callout_wine_${plan} PROPERTIES TIMEOUT 300 LABELS wine)
endforeach()
