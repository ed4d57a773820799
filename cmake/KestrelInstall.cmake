# Install rules: the two shared libraries, the headers under include/kestrel/, the CMake package
# (kestrel::kestrel), kestrel.pc, the command when built, and a Debian package through CPack.
include(CMakePackageConfigHelpers)

set(KESTREL_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kestrel)
install(TARGETS kestrel kestrel_components EXPORT kestrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT library
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library)
install(DIRECTORY ${KESTREL_PUBLIC_FOLDERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrel COMPONENT library
        FILES_MATCHING PATTERN "*.h")
install(FILES include/kestrel/kestrel.h ${KESTREL_INCLUDE_DIR}/kestrel/kestrelVersion.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrel COMPONENT library)
install(EXPORT kestrelTargets NAMESPACE kestrel:: DESTINATION ${KESTREL_CMAKE_DIR} COMPONENT library)

configure_package_config_file(cmake/kestrelConfig.cmake.in ${PROJECT_BINARY_DIR}/kestrelConfig.cmake
                              INSTALL_DESTINATION ${KESTREL_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kestrelConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kestrelConfig.cmake ${PROJECT_BINARY_DIR}/kestrelConfigVersion.cmake
        DESTINATION ${KESTREL_CMAKE_DIR} COMPONENT library)

# kestrel.pc finds its prefix from where it lies, so that the package can be moved.
file(RELATIVE_PATH KESTREL_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
configure_file(cmake/kestrel.pc.in ${PROJECT_BINARY_DIR}/kestrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kestrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

if(KESTREL_TOOLS)
  set_target_properties(kestrel_tool PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS kestrel_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
endif()

# `cpack -G DEB` in the build directory: one package with the libraries, headers and package
# files (and the command and the Python module when they were built), for /usr.
set(CPACK_PACKAGE_NAME libkestrel-dev)
set(CPACK_PACKAGE_VENDOR "Kestrel developers")
set(CPACK_PACKAGE_CONTACT "Kestrel developers <kestrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
# The headers need pugixml's and Boost's; the libraries find their shared libraries themselves.
# The streaming reader's parser is named too: the library links it, and the generated list may
# leave it out as implied by another library's package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpugixml-dev, libboost-dev, libexpat1, libmozjs-102-0")
# The Python module, when built, runs in Debian's Python 3 with numpy.
if(KESTREL_PYTHON)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", python3, python3-numpy")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR} ${PROJECT_BINARY_DIR}/components
  ${PROJECT_BINARY_DIR}/components/kestrel)
include(CPack)
