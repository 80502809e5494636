# Gauge code is plain records and free functions: no exceptions, no RTTI.
function(orvane_module_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fvisibility=hidden
                                           -fvisibility-inlines-hidden)
endfunction()

# Tests of the module file itself, the one a release ships: in the win32
# build they carry the label "shipped" (ctest -L shipped), which the stamp of
# a tested module names (tools/tested-stamp.sh).
function(orvane_shipped_tests)
  if(WIN32)
    set_tests_properties(${ARGN} PROPERTIES LABELS shipped)
  endif()
endfunction()
