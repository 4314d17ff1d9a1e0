# The API reference: `cmake --build --preset default --target docs` runs Doxygen over the
# public headers, every <component>/tarncore/<component>/*.h, with docs/mainpage.md as
# the front page, into <build>/docs/html. A Doxygen warning fails the target. Without
# Doxygen (scripts/install-deps installs it) there is no docs target.
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
  message(STATUS "Doxygen not found: no docs target")
  return()
endif()

# Found by the layout rather than by the component targets, so a component's headers
# are in the reference as soon as its folder exists.
file(GLOB tarncore_docs_candidates CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/*/tarncore/*/*.h)
set(tarncore_docs_headers "")
set(tarncore_docs_roots "")
foreach(header IN LISTS tarncore_docs_candidates)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
  if(relative MATCHES "^([^/]+)/tarncore/([^/]+)/[^/]+\\.h$" AND CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
    list(APPEND tarncore_docs_headers ${header})
    list(APPEND tarncore_docs_roots ${PROJECT_SOURCE_DIR}/${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT tarncore_docs_headers)
list(REMOVE_DUPLICATES tarncore_docs_roots)

set(TARNCORE_DOCS_MAINPAGE ${PROJECT_SOURCE_DIR}/docs/mainpage.md)
set(TARNCORE_DOCS_OUTPUT ${CMAKE_BINARY_DIR}/docs)
list(JOIN tarncore_docs_headers "\" \\\n    \"" TARNCORE_DOCS_HEADERS)
set(TARNCORE_DOCS_HEADERS "\"${TARNCORE_DOCS_HEADERS}\"")
list(JOIN tarncore_docs_roots "\" \\\n    \"" TARNCORE_DOCS_ROOTS)
set(TARNCORE_DOCS_ROOTS "\"${TARNCORE_DOCS_ROOTS}\"")
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${TARNCORE_DOCS_OUTPUT}/Doxyfile @ONLY)

add_custom_command(
  OUTPUT ${TARNCORE_DOCS_OUTPUT}/html/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TARNCORE_DOCS_OUTPUT}/html
  COMMAND Doxygen::doxygen ${TARNCORE_DOCS_OUTPUT}/Doxyfile
  DEPENDS ${tarncore_docs_headers} ${TARNCORE_DOCS_MAINPAGE} ${TARNCORE_DOCS_OUTPUT}/Doxyfile
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Building the API reference in ${TARNCORE_DOCS_OUTPUT}/html"
  VERBATIM)
add_custom_target(docs DEPENDS ${TARNCORE_DOCS_OUTPUT}/html/index.html)
