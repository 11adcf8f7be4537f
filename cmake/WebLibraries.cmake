# The libraries of the browser's game, built for wasm by scripts/web.sh into
# TERVALEN_WEB_DEPS (a prefix with include/ and lib/), under the names the
# desktop's packages give them, so that the rest of the build is the same.
set(TERVALEN_WEB_DEPS "" CACHE PATH "Prefix of the wasm libraries (scripts/web.sh builds them)")
if(NOT EXISTS "${TERVALEN_WEB_DEPS}/lib/libSDL2.a")
  message(FATAL_ERROR "No wasm libraries in TERVALEN_WEB_DEPS='${TERVALEN_WEB_DEPS}': build with scripts/web.sh")
endif()

function(tervalen_web_library target)
  set(paths "")
  foreach(name ${ARGN})
    set(path "${TERVALEN_WEB_DEPS}/lib/lib${name}.a")
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "Missing wasm library ${path}: run scripts/web.sh again")
    endif()
    list(APPEND paths "${path}")
  endforeach()
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${TERVALEN_WEB_DEPS}/include/SDL2;${TERVALEN_WEB_DEPS}/include"
    INTERFACE_LINK_LIBRARIES "${paths}")
endfunction()

# Listed so that each library comes before those it needs.
tervalen_web_library(SDL2_image::SDL2_image SDL2_image png16 z)
tervalen_web_library(PkgConfig::SDL2_MIXER SDL2_mixer)
tervalen_web_library(PkgConfig::LIBZIP zip z)
tervalen_web_library(ZLIB::ZLIB z)
# No ENet: a page sends no UDP (src/engine/web/WebNetwork.cpp).
add_library(PkgConfig::ENET INTERFACE IMPORTED)
tervalen_web_library(SDL2::SDL2 SDL2)
# No threads in the page (pictures are decoded on the game's own thread).
add_library(Threads::Threads INTERFACE IMPORTED)

# The same numbers as the desktop's: the whole game without fused multiply-add
# or fast-math, optimised for size and speed alike.
add_compile_options(-ffp-contract=off -fno-fast-math)
