# Conventions shared by every component folder:
#   <component>/tarncore/<component>/*.h   public headers (installed)
#   <component>/src/*.cpp, *.h             sources and private headers
#   <component>/tests/*.cpp                GoogleTest sources, one test program per component
# platform/ also has os/*.h, the library's internal interface to the operating system
# (included as "platform/os/<name>.h"), implemented in platform/src/${TARNCORE_PLATFORM}/.

set_property(GLOBAL PROPERTY TARNCORE_PUBLIC_HEADER_DIRS "")

# tarncore_component(<name> [EXTRA_SOURCES ...] [TEST_LIBS ...] [TEST_LABELS ...])
# Adds the component's sources to the library and its headers to the include path,
# and makes <name>_tests from tests/*.cpp. Label tests that exercise threads with
# "threads": the TSan run executes those.
function(tarncore_component name)
  cmake_parse_arguments(ARG "" "" "EXTRA_SOURCES;TEST_LIBS;TEST_LABELS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  if(name STREQUAL "platform")
    # Only the operating-system layer of the platform being built.
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/src/*.cpp ${dir}/src/${TARNCORE_PLATFORM}/*.cpp)
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/src/*.cpp)
  endif()
  target_sources(tarncore_objects PRIVATE ${sources} ${ARG_EXTRA_SOURCES})
  target_include_directories(tarncore_objects PUBLIC $<BUILD_INTERFACE:${dir}>)
  target_include_directories(tarncore PUBLIC $<BUILD_INTERFACE:${dir}>)
  if(EXISTS ${dir}/tarncore/${name})
    set_property(GLOBAL APPEND PROPERTY TARNCORE_PUBLIC_HEADER_DIRS ${dir}/tarncore/${name})
  endif()
  if(TARNCORE_BUILD_TESTS AND EXISTS ${dir}/tests)
    file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/tests/*.cpp)
    if(test_sources)
      tarncore_add_test(${name}_tests ${test_sources} LIBS ${ARG_TEST_LIBS} LABELS ${ARG_TEST_LABELS})
    endif()
  endif()
endfunction()

# tarncore_add_test(<target> sources... [LIBS libs...] [LABELS labels...])
# One GoogleTest program; each test case becomes a CTest test. Tests run with HOME,
# XDG_CONFIG_HOME and TMPDIR pointed at a private folder (see testing/TestMain.cpp).
function(tarncore_add_test target)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_link_libraries(${target} PRIVATE tarncore_testing tarncore_static ${ARG_LIBS})
  set(root ${CMAKE_BINARY_DIR}/test-home)
  set(environment "HOME=${root}" "XDG_CONFIG_HOME=${root}/.config" "TMPDIR=${root}/tmp"
      "TARNCORE_TEST_ROOT=${root}")
  # The list goes through three list expansions inside gtest_discover_tests before it
  # reaches set_tests_properties; unescaped, its items became separate arguments there
  # and swallowed the LABELS after them (the TSan run selects tests by label).
  string(REPLACE ";" "\\\\\\\\\\\\\\\\;" environment "${environment}")
  set(properties ENVIRONMENT "${environment}")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${properties})
endfunction()

# The umbrella header <tarncore/tarncore.h> includes every public header.
function(tarncore_write_umbrella_header)
  get_property(dirs GLOBAL PROPERTY TARNCORE_PUBLIC_HEADER_DIRS)
  set(body "// Generated at configure time: every public header of tarncore.\n#pragma once\n\n")
  foreach(dir IN LISTS dirs)
    file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
    list(SORT headers)
    foreach(header IN LISTS headers)
      get_filename_component(component ${dir} NAME)
      get_filename_component(file ${header} NAME)
      string(APPEND body "#include <tarncore/${component}/${file}>\n")
    endforeach()
  endforeach()
  set(out ${CMAKE_BINARY_DIR}/include/tarncore/tarncore.h)
  file(CONFIGURE OUTPUT ${out} CONTENT "${body}")
  target_include_directories(tarncore_objects PUBLIC $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>)
  target_include_directories(tarncore PUBLIC $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>)
  set_property(GLOBAL PROPERTY TARNCORE_PUBLIC_HEADER_DIRS "${dirs}")
endfunction()
