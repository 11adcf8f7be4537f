# Installing the game the way Linux games are: cmake --install build [--prefix P]
# (default prefix /usr/local; DESTDIR works; --strip strips the programs).
#   P/games/                      tervalen and the modders' tool tervalen-data
#   P/share/tervalen/             the game folder: data/, pak.zip, the font, the window icon
#   P/share/applications/         the desktop entry   io.github.tervalen.Tervalen.desktop
#   P/share/metainfo/             the AppStream entry io.github.tervalen.Tervalen.metainfo.xml
#   P/share/icons/hicolor/        the icon at 16 to 256 pixels and as SVG
#   P/share/man/man6/             the manual pages tervalen.6.gz, tervalen-data.6.gz
#   P/share/doc/tervalen/         README, licence, the data format reference, and
#                                 copyright and changelog.gz as Debian wants them
# The game finds its folder as ../share/tervalen from its own program, so the
# programs' and the game folder's places are fixed relative to each other
# (games/ and share/), and a prefix can be moved as a whole.

set(TERVALEN_APP_ID io.github.tervalen.Tervalen)
set(TERVALEN_SHARE_DIR share/tervalen)

install(TARGETS tervalen tervalen-data RUNTIME DESTINATION games)

# Manual pages and the changelog are installed compressed, with no name or time
# in the gzip header (-n), so that the same sources make the same package.
set(TERVALEN_GZ_DIR ${CMAKE_BINARY_DIR}/gz)
set(TERVALEN_GZ_FILES)
foreach(source docs/tervalen.6 docs/tervalen-data.6 dist/debian/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${TERVALEN_GZ_DIR}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TERVALEN_GZ_DIR}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/${source} ${TERVALEN_GZ_DIR}/${name}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND TERVALEN_GZ_FILES ${TERVALEN_GZ_DIR}/${name}.gz)
endforeach()
add_custom_target(tervalen_gz_docs ALL DEPENDS ${TERVALEN_GZ_FILES})
add_dependencies(tervalen tervalen_gz_docs)

if(TERVALEN_GAME_FOLDER)
  # The laid-out game folder, without what running it from the build tree leaves there (log.txt).
  install(DIRECTORY ${TERVALEN_GAME_DIR}/data ${TERVALEN_GAME_DIR}/pak DESTINATION ${TERVALEN_SHARE_DIR})
  install(FILES ${TERVALEN_GAME_DIR}/font1.fnt ${TERVALEN_GAME_DIR}/font1.png ${TERVALEN_GAME_DIR}/icon.ico
          DESTINATION ${TERVALEN_SHARE_DIR})
  # Packed when this build's data tool can pack; else the pictures are loose in pak/.
  install(FILES ${TERVALEN_GAME_DIR}/pak.zip DESTINATION ${TERVALEN_SHARE_DIR} OPTIONAL)

  foreach(size 16 32 48 64 128 256)
    install(FILES ${TERVALEN_GEN_DIR}/icons/tervalen-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${TERVALEN_APP_ID}.png)
  endforeach()
  install(FILES ${TERVALEN_GEN_DIR}/icons/tervalen.svg
          DESTINATION share/icons/hicolor/scalable/apps RENAME ${TERVALEN_APP_ID}.svg)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/dist/${TERVALEN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${TERVALEN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${TERVALEN_GZ_DIR}/tervalen.6.gz ${TERVALEN_GZ_DIR}/tervalen-data.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/dist/debian/copyright
        DESTINATION share/doc/tervalen)
install(FILES ${TERVALEN_GZ_DIR}/changelog.gz DESTINATION share/doc/tervalen)
# What the README links to.
install(FILES ${CMAKE_SOURCE_DIR}/docs/data-format.md ${CMAKE_SOURCE_DIR}/docs/screenshot.png
        DESTINATION share/doc/tervalen/docs)
