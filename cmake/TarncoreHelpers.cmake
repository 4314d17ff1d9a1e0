# Component targets and the include folders that make the layers of docs/ARCHITECTURE.md
# hold in the build itself.
#
# Each component folder has
#   <folder>/tarncore/<folder>/*.h   public headers (installed)
#   <folder>/src/                    sources and private headers
#   <folder>/tests/*.cpp             GoogleTest sources, one test program per folder
# and may declare an internal folder (platform/os, threads/internal) whose headers other
# library components reach only when they name it in their dependencies.
#
# The compiler sees none of the source folders directly. At configure time each target
# gets folders of its own under ${TARNCORE_STAGE} holding links to exactly what it may
# include: its public headers (tarncore/<folder>/X.h), its private sources ("<folder>/src/X.h",
# for the folder's own targets and tests), and the internal folders it names
# ("platform/os/X.h"). An include that the layer table forbids is simply not found.

set(TARNCORE_STAGE ${CMAKE_BINARY_DIR}/stage)
file(REMOVE_RECURSE ${TARNCORE_STAGE})
set_property(GLOBAL PROPERTY TARNCORE_COMPONENT_TARGETS "")

function(_tarncore_link original link)
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${original} ${link} SYMBOLIC)
endfunction()

# "utility" -> tarncore_utility; "platform/os" -> tarncore_platform_os.
function(_tarncore_targets_of out)
  set(result "")
  foreach(name IN LISTS ARGN)
    string(REPLACE "/" "_" name ${name})
    list(APPEND result tarncore_${name})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# tarncore_component(<name>
#     [FOLDER <folder>]                  the component folder; <name> by default
#     [SOURCES <path>...]                under <folder>/src, globs allowed; by default every
#                                        .cpp the folder's other targets do not claim
#     [HEADERS <file>...]                under <folder>/tarncore/<folder>; by default every
#                                        public header the other targets do not claim
#     [DEPENDS <component>...]           used by its public headers
#     [PRIVATE_DEPENDS <component>...]   used by its sources only
#     [LIBS <target>...]                 third-party, used by its public headers
#     [PRIVATE_LIBS <target>...]         third-party, used by its sources only
#     [INTERNAL <subfolder>]             headers shared with the components that name
#                                        "<name>/<subfolder>" in their dependencies
#     [TEST_LIBS <target>...] [TEST_LABELS <label>...])
#
# A folder with several targets declares the ones that claim SOURCES and HEADERS first;
# the target named after the folder takes the rest and owns the folder's tests, which
# link every target of the folder. Label tests that exercise threads with "threads": the
# TSan run executes those.
function(tarncore_component name)
  cmake_parse_arguments(ARG "" "FOLDER;INTERNAL"
    "SOURCES;HEADERS;DEPENDS;PRIVATE_DEPENDS;LIBS;PRIVATE_LIBS;TEST_LIBS;TEST_LABELS" ${ARGN})
  if(NOT ARG_FOLDER)
    set(ARG_FOLDER ${name})
  endif()
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  set(target tarncore_${name})
  get_property(claimed_sources DIRECTORY PROPERTY TARNCORE_CLAIMED_SOURCES)
  get_property(claimed_headers DIRECTORY PROPERTY TARNCORE_CLAIMED_HEADERS)

  if(ARG_SOURCES)
    list(TRANSFORM ARG_SOURCES PREPEND ${dir}/src/)
    file(GLOB sources CONFIGURE_DEPENDS ${ARG_SOURCES})
    set_property(DIRECTORY APPEND PROPERTY TARNCORE_CLAIMED_SOURCES ${sources})
  elseif(name STREQUAL "platform")
    # Only the operating-system layer of the platform being built.
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/src/*.cpp ${dir}/src/${TARNCORE_PLATFORM}/*.cpp)
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/src/*.cpp)
    if(claimed_sources)
      list(REMOVE_ITEM sources ${claimed_sources})
    endif()
  endif()

  set(header_dir ${dir}/tarncore/${ARG_FOLDER})
  if(ARG_HEADERS)
    list(TRANSFORM ARG_HEADERS PREPEND ${header_dir}/)
    set(headers ${ARG_HEADERS})
    set_property(DIRECTORY APPEND PROPERTY TARNCORE_CLAIMED_HEADERS ${headers})
  else()
    file(GLOB headers CONFIGURE_DEPENDS ${header_dir}/*.h)
    if(claimed_headers)
      list(REMOVE_ITEM headers ${claimed_headers})
    endif()
  endif()

  add_library(${target} STATIC ${sources})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_definitions(${target} PRIVATE TARNCORE_BUILDING_LIBRARY
                             TARNCORE_VERSION_TEXT="${PROJECT_VERSION}"
                             TARNCORE_BUILD_TEXT="${TARNCORE_BUILD_NUMBER}")

  # Public headers: tarncore/<folder>/X.h, for this target and whatever links it.
  set(public_root ${TARNCORE_STAGE}/include/${name})
  file(MAKE_DIRECTORY ${public_root})
  foreach(header IN LISTS headers)
    get_filename_component(file ${header} NAME)
    _tarncore_link(${header} ${public_root}/tarncore/${ARG_FOLDER}/${file})
  endforeach()
  target_include_directories(${target} PUBLIC ${public_root})
  set_property(TARGET ${target} PROPERTY TARNCORE_PUBLIC_HEADERS ${headers})
  set_property(TARGET ${target} PROPERTY TARNCORE_FOLDER ${ARG_FOLDER})
  set_property(TARGET ${target} PROPERTY TARNCORE_PUBLIC_ROOT ${public_root})

  # Private sources: "<folder>/src/X.h", for the folder's own targets and tests.
  set(private_root ${TARNCORE_STAGE}/private/${ARG_FOLDER})
  if(NOT EXISTS ${private_root}/${ARG_FOLDER}/src)
    _tarncore_link(${dir}/src ${private_root}/${ARG_FOLDER}/src)
  endif()
  target_include_directories(${target} PRIVATE ${private_root})

  if(ARG_INTERNAL)
    set(internal_target ${target}_${ARG_INTERNAL})
    set_property(DIRECTORY APPEND PROPERTY TARNCORE_FOLDER_TARGETS ${internal_target})
    set(internal_root ${TARNCORE_STAGE}/internal/${name}_${ARG_INTERNAL})
    _tarncore_link(${dir}/${ARG_INTERNAL} ${internal_root}/${ARG_FOLDER}/${ARG_INTERNAL})
    add_library(${internal_target} INTERFACE)
    target_include_directories(${internal_target} INTERFACE ${internal_root})
    target_link_libraries(${internal_target} INTERFACE ${target})
    target_include_directories(${target} PRIVATE ${internal_root})
  endif()

  _tarncore_targets_of(depends ${ARG_DEPENDS})
  _tarncore_targets_of(private_depends ${ARG_PRIVATE_DEPENDS})
  target_link_libraries(${target} PUBLIC ${depends} ${ARG_LIBS}
                                  PRIVATE ${private_depends} ${ARG_PRIVATE_LIBS})
  set_property(TARGET ${target} PROPERTY TARNCORE_LIBS ${ARG_LIBS})
  set_property(TARGET ${target} PROPERTY TARNCORE_PRIVATE_LIBS ${ARG_PRIVATE_LIBS})
  set_property(TARGET ${target} PROPERTY TARNCORE_PRIVATE_DEPENDS ${private_depends})
  set_property(GLOBAL APPEND PROPERTY TARNCORE_COMPONENT_TARGETS ${target})
  set_property(DIRECTORY APPEND PROPERTY TARNCORE_FOLDER_TARGETS ${target})

  if(name STREQUAL ARG_FOLDER AND TARNCORE_BUILD_TESTS AND EXISTS ${dir}/tests)
    file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/tests/*.cpp)
    if(test_sources)
      # Tests reach what the folder's sources reach, private dependencies included.
      get_property(folder_targets DIRECTORY PROPERTY TARNCORE_FOLDER_TARGETS)
      set(test_libs ${folder_targets})
      foreach(folder_target IN LISTS folder_targets)
        get_property(more TARGET ${folder_target} PROPERTY TARNCORE_PRIVATE_DEPENDS)
        list(APPEND test_libs ${more})
      endforeach()
      tarncore_add_test(${name}_tests ${test_sources} FOLDER ${ARG_FOLDER}
                        LIBS ${test_libs} ${ARG_TEST_LIBS} LABELS ${ARG_TEST_LABELS})
    endif()
  endif()
endfunction()

# tarncore_add_test(<target> sources... [FOLDER <folder>] [LIBS libs...] [LABELS labels...])
# One GoogleTest program that may reach the private sources of <folder>; each test case
# becomes a CTest test. Tests run with HOME, XDG_CONFIG_HOME and TMPDIR pointed at a
# private folder (see testing/TestMain.cpp).
function(tarncore_add_test target)
  cmake_parse_arguments(ARG "" "FOLDER" "LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_link_libraries(${target} PRIVATE tarncore_testing ${ARG_LIBS})
  if(ARG_FOLDER)
    target_include_directories(${target} PRIVATE ${TARNCORE_STAGE}/private/${ARG_FOLDER})
  endif()
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

# The library as users see it, made once every component is declared: the shared
# library from every component's objects, with the public headers of all of them and
# the umbrella header <tarncore/tarncore.h> that includes each one.
function(tarncore_assemble_library)
  get_property(components GLOBAL PROPERTY TARNCORE_COMPONENT_TARGETS)
  set(umbrella "// Generated at configure time: every public header of tarncore.\n#pragma once\n\n")
  set(public_roots "")
  set(public_libs "")
  set(private_libs "")
  foreach(component IN LISTS components)
    target_sources(tarncore PRIVATE $<TARGET_OBJECTS:${component}>)
    get_property(root TARGET ${component} PROPERTY TARNCORE_PUBLIC_ROOT)
    get_property(folder TARGET ${component} PROPERTY TARNCORE_FOLDER)
    get_property(headers TARGET ${component} PROPERTY TARNCORE_PUBLIC_HEADERS)
    get_property(libs TARGET ${component} PROPERTY TARNCORE_LIBS)
    get_property(libs_private TARGET ${component} PROPERTY TARNCORE_PRIVATE_LIBS)
    list(APPEND public_roots ${root})
    list(APPEND public_libs ${libs})
    list(APPEND private_libs ${libs_private})
    list(SORT headers)
    foreach(header IN LISTS headers)
      get_filename_component(file ${header} NAME)
      string(APPEND umbrella "#include <tarncore/${folder}/${file}>\n")
    endforeach()
    if(headers)
      install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarncore/${folder})
    endif()
  endforeach()
  file(CONFIGURE OUTPUT ${TARNCORE_STAGE}/umbrella/tarncore/tarncore.h CONTENT "${umbrella}")
  install(FILES ${TARNCORE_STAGE}/umbrella/tarncore/tarncore.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarncore)

  list(REMOVE_DUPLICATES public_libs)
  list(REMOVE_DUPLICATES private_libs)
  target_link_libraries(tarncore PUBLIC ${public_libs} PRIVATE ${private_libs})
  foreach(root IN LISTS public_roots ITEMS ${TARNCORE_STAGE}/umbrella)
    target_include_directories(tarncore PUBLIC $<BUILD_INTERFACE:${root}>)
  endforeach()
  target_include_directories(tarncore PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

  # Fuzz targets and benchmarks of internal code link every component.
  add_library(tarncore_components INTERFACE)
  target_link_libraries(tarncore_components INTERFACE ${components})
  target_include_directories(tarncore_components INTERFACE ${TARNCORE_STAGE}/umbrella)
endfunction()
