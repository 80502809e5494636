# The win32 build: the module's resources, and Wine to run what the build
# makes, so that one ctest list runs natively and under Wine.
enable_language(RC)

find_program(ORVANE_OBJDUMP NAMES ${ORVANE_MINGW_TRIPLE}-objdump i686-w64-mingw32-objdump REQUIRED)
find_program(ORVANE_NM NAMES ${ORVANE_MINGW_TRIPLE}-nm i686-w64-mingw32-nm REQUIRED)

# Prefix, instance and sound captures of the Wine runs live here.
set(ORVANE_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(ORVANE_RUN_WINE ${CMAKE_SOURCE_DIR}/tests/wine/run-wine.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVANE_RUN_WINE} --root ${ORVANE_WINE_ROOT})

# Scenario traces of the native build, which the win32 traces must equal.
set(ORVANE_NATIVE_TRACES ${CMAKE_SOURCE_DIR}/build/native/traces CACHE PATH
    "Traces written by the native build's scenario tests")

# Every Windows program of the build carries the compiler's runtime inside,
# as the module does: Wine has no mingw DLLs to offer.
add_link_options(-static-libgcc -static-libstdc++)
