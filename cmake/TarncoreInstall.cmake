include(CMakePackageConfigHelpers)

install(TARGETS tarncore EXPORT tarncoreTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The public headers and the umbrella header are installed by tarncore_assemble_library.

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/tarncore)
install(EXPORT tarncoreTargets NAMESPACE tarncore:: DESTINATION ${config_dir})
configure_package_config_file(cmake/tarncoreConfig.cmake.in
  ${CMAKE_BINARY_DIR}/tarncoreConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/tarncoreConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/tarncoreConfig.cmake
              ${CMAKE_BINARY_DIR}/tarncoreConfigVersion.cmake
        DESTINATION ${config_dir})

file(RELATIVE_PATH TARNCORE_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
configure_file(cmake/tarncore.pc.in ${CMAKE_BINARY_DIR}/tarncore.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tarncore.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
