# Installation and the Debian package.
#   <prefix>/lib/LumoraV3/             the programs with the libraries they load
#                                      from beside themselves: LumoraV3,
#                                      lumora-cli, ddfenc, ddfcheck, stbsim,
#                                      LV3DLL.so and encdll12.so
#   <prefix>/bin/                      links to the programs
#   <prefix>/lib/encdll12.so           a link to the encoder library, for
#   <prefix>/include/encdll12.h        programs of their own that call EncodeDDF
#   <prefix>/share/man/man1/           manual pages
#   <prefix>/share/doc/LumoraV3/manual the editor's manual (also built in)
#   <prefix>/share/applications, <prefix>/share/icons: desktop entry and icon
#   <prefix>/share/mime/packages       the file type of ".dnf" files, opened
#                                      with the editor from the file manager
# The settings file goes beside the program when that directory is writable,
# otherwise to $XDG_CONFIG_HOME/LumoraV3/LV32.cfg.
include(GNUInstallDirs)

set(LUMORA_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/LumoraV3)

# A symbolic link LINK (relative to the prefix) pointing at TARGET.
function(lumora_install_link target link)
  install(CODE "
    get_filename_component(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${dir}\")
    file(CREATE_LINK ${target} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\" SYMBOLIC)")
endfunction()

set(lumora_programs lumora-cli ddfenc ddfcheck stbsim)
if(LUMORA_EDITOR)
  list(PREPEND lumora_programs LumoraV3)
endif()
install(TARGETS ${lumora_programs} RUNTIME DESTINATION ${LUMORA_PROGRAM_DIR})
install(TARGETS LV3DLL encdll12 LIBRARY DESTINATION ${LUMORA_PROGRAM_DIR})
foreach(program IN LISTS lumora_programs)
  lumora_install_link(../${LUMORA_PROGRAM_DIR}/${program} ${CMAKE_INSTALL_BINDIR}/${program})
endforeach()
lumora_install_link(LumoraV3/encdll12.so ${CMAKE_INSTALL_LIBDIR}/encdll12.so)
install(FILES ${PROJECT_SOURCE_DIR}/encoder/encdll12.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(FILES
  ${PROJECT_SOURCE_DIR}/docs/man/lumora-cli.1
  ${PROJECT_SOURCE_DIR}/docs/man/ddfenc.1
  ${PROJECT_SOURCE_DIR}/docs/man/ddfcheck.1
  ${PROJECT_SOURCE_DIR}/docs/man/stbsim.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(LUMORA_EDITOR)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/LumoraV3.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/editor/shell/help/manual/
          DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual OPTIONAL)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/lumorav3.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/lumorav3.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/lumorav3-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()

# cpack -G DEB (from the build directory) builds the package.
set(CPACK_PACKAGE_NAME lumorav3)
set(CPACK_PACKAGE_VENDOR "Lumora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Channel database editor and download-image tools for the Lumora set-top boxes")
set(CPACK_PACKAGE_CONTACT "Lumora developers <dev@lumora-stb.example>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
find_program(LUMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LUMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The conversion library lies beside the program, not on the library path.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
elseif(LUMORA_EDITOR)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6")
endif()
include(CPack)
