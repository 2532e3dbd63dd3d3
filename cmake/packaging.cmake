# Installing and packaging with CMake's own machinery: `cmake --install` puts the programs in the
# usual places, `cpack` makes a .deb on Linux and a zip from the Windows (MinGW) build. The version
# is project(VERSION).
include(GNUInstallDirs)
# Documents go under the package's name, whatever the cache says of the project's.
set(varnet_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnet-test)

set(CPACK_PACKAGE_NAME varnet-test)
set(CPACK_PACKAGE_VENDOR "Varnet")
set(CPACK_PACKAGE_CONTACT "Varnet bench tools <bench-tools@varnet.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bench test utility for a USB-to-serial adapter")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "One dialog window exercises a USB-to-serial adapter as a serial port and through its driver, "
       "on the machine's own ports or on a built-in virtual bench. varnet-script runs bench scripts on it.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # A folder to unpack anywhere: the three programs, how to start them, and the documents.
  install(TARGETS Test TestVirtual varnet-script RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/how-to-start.txt
                 ${PROJECT_BINARY_DIR}/packaging/HOW-TO-START.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/HOW-TO-START.txt ${PROJECT_SOURCE_DIR}/README.md
                ${PROJECT_SOURCE_DIR}/docs/bench-script.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME varnet-test-${PROJECT_VERSION}-windows-x64)
else()
  set(varnet_programs varnet-script)
  foreach(program varnet-test varnet-test-virtual)
    if(TARGET ${program})
      list(APPEND varnet_programs ${program})
      install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${program}.desktop
              DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    endif()
  endforeach()
  install(TARGETS ${varnet_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # Icon 128 at the usual sizes, drawn from the icon table when the programs are built. Not in a
  # sanitizer build, which nobody packages: there Qt's own uninstrumented threads would make
  # ThreadSanitizer stop the drawing program.
  if(TARGET icon-png AND NOT VARNET_SANITIZE)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/icons/256x256/apps/varnet-test.png
      COMMAND ${CMAKE_COMMAND} -E remove_directory ${PROJECT_BINARY_DIR}/icons
      COMMAND icon-png ${PROJECT_BINARY_DIR}/icons
      DEPENDS icon-png
      COMMENT "Drawing the desktop icons")
    add_custom_target(desktop-icons ALL DEPENDS ${PROJECT_BINARY_DIR}/icons/256x256/apps/varnet-test.png)
    install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  endif()

  # One manual page for the three programs.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/varnet-test.1 ${PROJECT_BINARY_DIR}/packaging/varnet-test.1
                 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/varnet-test.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  foreach(page varnet-test-virtual varnet-script)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/see-varnet-test.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
            RENAME ${page}.1)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/bench-script.md
          DESTINATION ${varnet_docdir})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The dialog's font, and xdg-open for Open TXT.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, xdg-utils")
endif()

include(CPack)
