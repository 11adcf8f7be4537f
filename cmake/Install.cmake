# Installing the game the way Linux games are: cmake --install build [--prefix P]
# (default prefix /usr/local; DESTDIR works; --strip strips the programs).
#   P/bin/                        tervalen and the modders' tool tervalen-data
#   P/share/tervalen/             the game folder: data/, pak.zip, the font, the window icon
#   P/share/applications/         the desktop entry   io.github.tervalen.Tervalen.desktop
#   P/share/metainfo/             the AppStream entry io.github.tervalen.Tervalen.metainfo.xml
#   P/share/icons/hicolor/        the icon at 16 to 256 pixels and as SVG
#   P/share/man/man6/tervalen.6   the manual page
#   P/share/doc/tervalen/         README, licence, the data format reference
# The game finds its folder as ../share/tervalen from its own program, so the
# programs' and the game folder's places are fixed relative to each other
# (bin/ and share/), and a prefix can be moved as a whole.

set(TERVALEN_APP_ID io.github.tervalen.Tervalen)
set(TERVALEN_SHARE_DIR share/tervalen)

install(TARGETS tervalen tervalen-data RUNTIME DESTINATION bin)

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
install(FILES ${CMAKE_SOURCE_DIR}/docs/tervalen.6 DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/tervalen)
# What the README links to.
install(FILES ${CMAKE_SOURCE_DIR}/docs/data-format.md ${CMAKE_SOURCE_DIR}/docs/screenshot.png
        DESTINATION share/doc/tervalen/docs)
