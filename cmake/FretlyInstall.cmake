# What `cmake --install` puts on a system and the Debian package carries: the program,
# its desktop entry, MIME type, icons and AppStream metadata, the manual page and an
# example song. Installed like this, the program leaves the per-user registration alone.
include(GNUInstallDirs)

set(_res ${CMAKE_SOURCE_DIR}/resources)
set(_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/fretly)   # not the project's capitalised name
install(FILES ${_res}/desktop/fretly.desktop ${_res}/desktop/fretly-import.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# "Play with Fretly" in file managers' Open With lists; never in the menus.
install(FILES ${_res}/desktop/fretly-play.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_res}/desktop/fretly.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_res}/desktop/org.example.fretly.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 16 32 48 64 128)
  install(FILES ${_res}/images/fretly-${size}.png DESTINATION ${_hicolor}/${size}x${size}/apps RENAME fretly.png)
  install(FILES ${_res}/images/document-${size}.png DESTINATION ${_hicolor}/${size}x${size}/mimetypes
          RENAME application-x-fretly-document.png)
endforeach()
install(FILES ${_res}/images/fretly.svg DESTINATION ${_hicolor}/scalable/apps)
install(FILES ${_res}/images/document.svg DESTINATION ${_hicolor}/scalable/mimetypes
        RENAME application-x-fretly-document.svg)

# Manual page and changelog compressed the way Debian wants them: gzip -9, no name or time.
find_program(FRETLY_GZIP gzip REQUIRED)
set(_man ${CMAKE_BINARY_DIR}/docs/fretly.1.gz)
set(_changelog ${CMAKE_BINARY_DIR}/docs/changelog.gz)
add_custom_command(OUTPUT ${_man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
  COMMAND ${FRETLY_GZIP} -9nc ${CMAKE_SOURCE_DIR}/docs/fretly.1 > ${_man}
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/fretly.1 VERBATIM)
add_custom_command(OUTPUT ${_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
  COMMAND ${FRETLY_GZIP} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${_changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(fretly_docs ALL DEPENDS ${_man} ${_changelog})
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/docs/examples/blues.tab DESTINATION ${_docdir}/examples)
install(FILES ${_changelog} ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${_docdir})

# The Debian package (scripts/package): CPack's DEB generator over the install rules
# above, so the package and `cmake --install` can never disagree; dpkg-shlibdeps works
# out the libraries' packages from the binary itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fretly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Fretly developers <fretly@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for guitar tablature in plain ASCII form")
set(CPACK_PACKAGE_DESCRIPTION [=[
Fretly edits guitar tablature on a grid of staffs: six string lines and one
line for chord names or remarks, 78 characters wide. It inserts and deletes
columns and staffs, sets bar lines, moves the rest of a staff down, merges
the next staff up and wraps onto new staffs by itself.

Songs are saved as .tab text files that read well in any text viewer, with a
header for artist, title, album, transcriber and comments, and are printed or
previewed with the header on the first page.]=])
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://fretly.example.org/ascii-tab-editor/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's own libraries, which dpkg-shlibdeps finds in the package being built.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${FRETLY_PRIVATE_LIBDIR})
# Loaded at run time, so no linker dependency shows them: the X11 platform plugin, the
# Courier New stand-in the grid is measured in, and the Wayland platform plugin.
# --play sounds through the system's General MIDI soundfont (the default-GM alternative).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, timgm6mb-soundfont | fluid-soundfont-gm")
# notify-send shows the errors of "Play with Fretly", which has no terminal.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation | fonts-liberation2, qt6-wayland, libnotify-bin")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
