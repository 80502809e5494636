# GoogleTest for the unit tests: Debian's packaged library natively; for the
# win32 build, the same release compiled from Debian's sources, so that the
# one test suite also runs as a Windows program under Wine.

# orvane_gtest_program(TARGET [PREFIX NAME] [PROPERTIES PROPERTY VALUE...])
# The cases of a GoogleTest program as tests. Natively each case is a test of
# its own. In the win32 build the program runs once under Wine with all its
# cases: a Wine start costs more than most cases, and tens of seconds of CPU
# where qemu runs 32-bit code. Its failed cases are named in its output; its
# report (gtest-reports/NAME.xml) gives the test command its count of cases.
function(orvane_gtest_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX" "PROPERTIES")
  if(NOT CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}" DISCOVERY_TIMEOUT 60 PROPERTIES ${arg_PROPERTIES})
    return()
  endif()
  set(name ${arg_PREFIX}${target})
  # A relative path: to a Windows program, /path is no absolute one.
  add_test(NAME ${name} COMMAND ${target} --gtest_output=xml:gtest-reports/${name}.xml
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # Begun first: one program's cases take longer than any other test.
  set_tests_properties(${name} PROPERTIES COST 1000 ${arg_PROPERTIES})
endfunction()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  return()
endif()

if(TARGET GTest::gtest)
  return()
endif()

set(ORVANE_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${ORVANE_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${ORVANE_GOOGLETEST_SOURCE_DIR}: "
                      "install Debian's googletest package (tools/install-deps.sh)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
add_subdirectory(${ORVANE_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The win32 thread model's C++ library has no std::mutex, of which GoogleTest
# makes one small class; its configuration hook provides that class instead.
foreach(library gtest gtest_main gmock gmock_main)
  target_include_directories(${library} BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest-win32)
endforeach()

# GoogleTest's own build names its targets GTest::*; older releases did not.
foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()
