# What `cmake --install` lays out, and the Debian package CPack makes of it.

include(GNUInstallDirs)

install(TARGETS tavexdl-cli tavexdl-kbsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry and the icon belong to the desktop program: without it
# they would launch nothing.
if(TARGET tavexdl)
  install(TARGETS tavexdl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/tavexdl.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/tavexdl.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The manual pages. Debian wants them compressed, and compressed without a
# time stamp (-n) so that two builds of the same source give the same package.
set(TAVEX_MAN_PAGES tavexdl-cli.1 tavexdl-kbsim.1)
find_program(TAVEX_GZIP gzip)
set(TAVEX_MAN_OUTPUTS "")
foreach(TAVEX_MAN_NAME ${TAVEX_MAN_PAGES})
  set(TAVEX_MAN_SOURCE ${PROJECT_SOURCE_DIR}/packaging/${TAVEX_MAN_NAME})
  if(TAVEX_GZIP)
    set(TAVEX_MAN_COPY ${PROJECT_BINARY_DIR}/man/${TAVEX_MAN_NAME})
    add_custom_command(OUTPUT ${TAVEX_MAN_COPY}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${TAVEX_MAN_SOURCE} ${TAVEX_MAN_COPY}
      COMMAND ${TAVEX_GZIP} -9nf ${TAVEX_MAN_COPY}
      DEPENDS ${TAVEX_MAN_SOURCE}
      VERBATIM)
    list(APPEND TAVEX_MAN_OUTPUTS ${TAVEX_MAN_COPY}.gz)
    install(FILES ${TAVEX_MAN_COPY}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${TAVEX_MAN_SOURCE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
if(TAVEX_MAN_OUTPUTS)
  add_custom_target(tavexdl-man ALL DEPENDS ${TAVEX_MAN_OUTPUTS})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavexdl)
set(CPACK_PACKAGE_VENDOR "Norwick Inc.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tavex keyboard firmware upgrade utility")
set(CPACK_PACKAGE_DESCRIPTION
  "Writes new firmware into a Tavex keyboard through the keyboard's serial
bootloader, and checks .s19 and .s20 firmware images as a download reads them.
.
tavexdl is the desktop program, tavexdl-cli does the same from the command
line, and tavexdl-kbsim plays the keyboard on a pseudo-terminal.")
set(TAVEX_PACKAGE_MAINTAINER "Norwick Inc. <tavexdl@norwick.invalid>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TAVEX_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)

# Qt loads its SVG support as a plugin, so no linker dependency names it;
# without it the desktop program's icon is not drawn.
set(TAVEX_PLUGIN_DEPENDS "")
if(TARGET tavexdl)
  set(TAVEX_PLUGIN_DEPENDS "libqt6svg6")
endif()
find_program(TAVEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TAVEX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${TAVEX_PLUGIN_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libqt6core6, libqt6serialport6")
  if(TARGET tavexdl)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
      ", libqt6gui6, libqt6widgets6, libqt6dbus6, ${TAVEX_PLUGIN_DEPENDS}")
  endif()
endif()

include(CPack)
