# Installation into one self-contained program folder, system integration, and the .deb package.
#
# The program folder holds the programs and their data files together, since the desktop program looks
# for NIVELEX.DBF, RAYUELA.chm and Horvane.ini beside its executable. The default is /opt/vadelux; a school
# that uses the timetable generator installs into the generator's folder instead (--prefix).

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/vadelux CACHE PATH "Program folder" FORCE)
endif()

option(VADELUX_SYSTEM_INTEGRATION "Install the desktop entry, icon, man page and PATH link" ON)
set(VADELUX_SYSTEM_PREFIX /usr CACHE PATH "Where the desktop entry, icon, man page and PATH link go")

install(TARGETS vadelux-cli RUNTIME DESTINATION .)
if(TARGET vadelux)
  install(TARGETS vadelux RUNTIME DESTINATION .)
endif()
install(FILES ${VADELUX_BIN_DIR}/NIVELEX.DBF DESTINATION .)
if(EXISTS ${CMAKE_SOURCE_DIR}/data/help.cmake)
  install(FILES ${VADELUX_BIN_DIR}/RAYUELA.chm DESTINATION .)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/nivelex.csv DESTINATION .)

if(VADELUX_SYSTEM_INTEGRATION)
  # The desktop entry starts the program from the program folder, wherever that is.
  configure_file(${CMAKE_SOURCE_DIR}/data/vadelux.desktop.in ${CMAKE_BINARY_DIR}/vadelux.desktop @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/vadelux.desktop DESTINATION ${VADELUX_SYSTEM_PREFIX}/share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/vadelux.svg
          DESTINATION ${VADELUX_SYSTEM_PREFIX}/share/icons/hicolor/scalable/apps)
  find_program(GZIP_PROGRAM gzip)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vadelux-cli.1.gz
                     COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/data/vadelux-cli.1 > ${CMAKE_BINARY_DIR}/vadelux-cli.1.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/data/vadelux-cli.1 VERBATIM)
  add_custom_target(vadelux_man ALL DEPENDS ${CMAKE_BINARY_DIR}/vadelux-cli.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/vadelux-cli.1.gz DESTINATION ${VADELUX_SYSTEM_PREFIX}/share/man/man1)
  # vadelux-cli on the PATH: a link to the program folder's copy.
  install(CODE "
    set(link \"\$ENV{DESTDIR}${VADELUX_SYSTEM_PREFIX}/bin/vadelux-cli\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}${VADELUX_SYSTEM_PREFIX}/bin\")
    file(CREATE_LINK \"\${CMAKE_INSTALL_PREFIX}/vadelux-cli\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link}\")")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vadelux)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipo de Vadelux <vadelux@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convierte datos entre Rayuela y las tablas de Horvane")
set(CPACK_PACKAGE_DESCRIPTION
    "Vadelux lleva los datos de un centro entre Rayuela (archivos XML de intercambio) y el generador de\n horarios Horvane (tablas dBase): crea las tablas de trabajo a partir de un XML de Rayuela y escribe\n los horarios resueltos como un XML HORARIOS que Rayuela importa.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, libxml2 (>= 2.9), libchm1, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_WARN_ON_ABSOLUTE_INSTALL_DESTINATION OFF)
include(CPack)
