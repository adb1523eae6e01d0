# What `cmake --install` puts in place and what `cpack -G DEB` packs: the program, the
# batch tool and the simulated unit in bin/, the desktop entry and the icon (scalable, and the PNG sizes a
# menu asks for, rendered here from the one drawing) in share/. Nothing the program
# writes at run time is installed: its settings file goes beside the executable only
# where that folder is writable, else to the user's configuration folder.
include(GNUInstallDirs)

# The package's version is the program's: both come from the name the program shows.
file(STRINGS ${PROJECT_SOURCE_DIR}/support/program.cpp version_line REGEX "pc_version_str")
if(NOT version_line MATCHES "V${PROJECT_VERSION}\"")
  message(FATAL_ERROR "project version ${PROJECT_VERSION} differs from pc_version_str: ${version_line}")
endif()

install(TARGETS zazed zazed-batch kormelan3-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_svg ${CMAKE_CURRENT_LIST_DIR}/zazed.svg)
set(icon_pngs)
foreach(size 48 128 256)
  set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/zazed.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
                     COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
                     DEPENDS ${icon_svg} VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(zazed_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/zazed.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zazed)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KORMELAN-3 Zazed maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up and watch the KORMELAN-3 control unit")
set(CPACK_PACKAGE_DESCRIPTION
    "Connects to the KORMELAN-3 control unit over RS-232 or TCP, edits and transfers its parameter set, shows \
live measurements, oscillograph sequences and the strip chart, records measurements to CSV files and loads \
linearisation tables. zazed-batch sets up units on a production line without a display; kormelan3-sim, \
a simulated control unit, comes with both.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The Qt 6 libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
