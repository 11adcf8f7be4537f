# The ready-to-run game folder, ${CMAKE_BINARY_DIR}/game:
#   - tervalen-assetgen draws every picture and synthesizes every sound and the
#     music into ${CMAKE_BINARY_DIR}/gen (again only when the generator changes);
#   - LayoutGame.cmake copies the icon, the font and the title picture beside the
#     game, compiles the text sources of content/ into data/ with tervalen-data,
#     and packs the pictures and sounds into pak.zip (or, with a tervalen-data
#     that cannot pack yet, copies them loose into pak/, which the game also reads).
# `tervalen` depends on it, so `cmake --build build` lays the folder out.

pkg_check_modules(LAME REQUIRED IMPORTED_TARGET lame)
find_package(PNG REQUIRED)
pkg_check_modules(IMAGEQUANT REQUIRED IMPORTED_TARGET imagequant)

file(GLOB ASSETGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assetgen/*.cpp)
add_executable(tervalen-assetgen ${ASSETGEN_SOURCES})
target_link_libraries(tervalen-assetgen PRIVATE PNG::PNG PkgConfig::IMAGEQUANT PkgConfig::LAME)
# The generator runs in every clean build: optimise it and skip debug information
# (which doubles its compile time) whatever the build type.
target_compile_options(tervalen-assetgen PRIVATE -O2 -g0)

set(TERVALEN_GEN_DIR ${CMAKE_BINARY_DIR}/gen)
set(TERVALEN_GAME_DIR ${CMAKE_BINARY_DIR}/game)

add_custom_command(
  OUTPUT ${TERVALEN_GEN_DIR}/stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TERVALEN_GEN_DIR}
  COMMAND $<TARGET_FILE:tervalen-assetgen> ${TERVALEN_GEN_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${TERVALEN_GEN_DIR}/stamp
  DEPENDS tervalen-assetgen
  COMMENT "Drawing the default game's pictures, sounds and music"
  VERBATIM)

file(GLOB_RECURSE TERVALEN_CONTENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/content/*.txt)

add_custom_command(
  OUTPUT ${TERVALEN_GAME_DIR}/stamp
  COMMAND ${CMAKE_COMMAND} -DGEN=${TERVALEN_GEN_DIR} -DGAME=${TERVALEN_GAME_DIR}
          -DCONTENT=${CMAKE_SOURCE_DIR}/content -DDATA_TOOL=$<TARGET_FILE:tervalen-data>
          -P ${CMAKE_SOURCE_DIR}/cmake/LayoutGame.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${TERVALEN_GAME_DIR}/stamp
  DEPENDS ${TERVALEN_GEN_DIR}/stamp tervalen-data ${TERVALEN_CONTENT_SOURCES}
          ${CMAKE_SOURCE_DIR}/cmake/LayoutGame.cmake
  COMMENT "Laying out the game folder ${TERVALEN_GAME_DIR}"
  VERBATIM)

add_custom_target(tervalen_game_folder ALL DEPENDS ${TERVALEN_GAME_DIR}/stamp)
add_dependencies(tervalen tervalen_game_folder)
