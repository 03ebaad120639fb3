# Installation of the editor and its Debian package.
#   <prefix>/lib/LumoraV3/LumoraV3     the program, with the conversion library
#   <prefix>/lib/LumoraV3/LV3DLL.so    beside it, where the program loads it from
#   <prefix>/bin/LumoraV3              a link to the program
#   <prefix>/share/doc/lumorav3/manual the manual (the program carries it built in)
#   <prefix>/share/applications, <prefix>/share/icons: desktop entry and icon
# The settings file goes beside the program when that directory is writable,
# otherwise to $XDG_CONFIG_HOME/LumoraV3/LV32.cfg.
include(GNUInstallDirs)

set(LUMORA_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/LumoraV3)

if(TARGET LumoraV3)
  install(TARGETS LumoraV3 RUNTIME DESTINATION ${LUMORA_PROGRAM_DIR})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${LUMORA_PROGRAM_DIR}/LumoraV3
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/LumoraV3\" SYMBOLIC)")
endif()
if(TARGET LV3DLL)
  install(TARGETS LV3DLL LIBRARY DESTINATION ${LUMORA_PROGRAM_DIR})
endif()
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/help/manual/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual OPTIONAL)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/install/lumorav3.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/install/lumorav3.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# cpack -G DEB (from the build directory) builds the package.
set(CPACK_PACKAGE_NAME lumorav3)
set(CPACK_PACKAGE_VENDOR "Lumora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Channel database editor for the Lumora set-top boxes")
set(CPACK_PACKAGE_CONTACT "Lumora developers <dev@lumora-stb.example>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
find_program(LUMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LUMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The conversion library lies beside the program, not on the library path.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6")
endif()
include(CPack)
