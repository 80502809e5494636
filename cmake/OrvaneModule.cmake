# Gauge code is plain records and free functions: no exceptions, no RTTI.
function(orvane_module_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fvisibility=hidden
                                           -fvisibility-inlines-hidden)
endfunction()
