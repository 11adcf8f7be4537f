# The browser's game: tervalen.js and tervalen.wasm, the game folder of a
# desktop build (TERVALEN_WEB_GAME_DIR, laid out by its tools) preloaded as
# tervalen.data at /game, and our own page beside them.
set(TERVALEN_WEB_GAME_DIR "" CACHE PATH "A desktop build's game folder, preloaded into the page")
if(NOT EXISTS "${TERVALEN_WEB_GAME_DIR}/data")
  message(FATAL_ERROR "No game folder in TERVALEN_WEB_GAME_DIR='${TERVALEN_WEB_GAME_DIR}': build with scripts/web.sh")
endif()

set_target_properties(tervalen PROPERTIES SUFFIX ".js")
file(WRITE "${CMAKE_BINARY_DIR}/library-functions.rsp"
     "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=[$autoResumeAudioContext,$dynCall]\n")
target_link_options(tervalen PRIVATE
  "SHELL:-s ENVIRONMENT=web"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s INITIAL_MEMORY=67108864"
  "SHELL:-s EXIT_RUNTIME=1"
  "SHELL:-s FORCE_FILESYSTEM=1"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=['FS','addRunDependency','removeRunDependency']"
  "SHELL:-s MIN_WEBGL_VERSION=1"
  # SDL's sound and callbacks call helpers of Emscripten's own library; their
  # names start with a $, which make would take for its own: from a file.
  "@${CMAKE_BINARY_DIR}/library-functions.rsp"
  -lidbfs.js
  "SHELL:--preload-file ${TERVALEN_WEB_GAME_DIR}@/game")
set_property(TARGET tervalen APPEND PROPERTY LINK_DEPENDS "${TERVALEN_WEB_GAME_DIR}/stamp")

# The page, the game's icon as the page's, and the way to a static host.
add_custom_command(TARGET tervalen POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/tervalen.html ${CMAKE_BINARY_DIR}/tervalen.html
  COMMAND ${CMAKE_COMMAND} -E copy ${TERVALEN_WEB_GAME_DIR}/icon.ico ${CMAKE_BINARY_DIR}/favicon.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/replays
  VERBATIM)
