#!/usr/bin/env bash
# Builds the game for web browsers (WebAssembly) into build-web/:
#   scripts/web.sh            build build-web/tervalen.{html,js,wasm,data}
#   scripts/web.sh --serve    build, then serve build-web/ on http://localhost:PORT/
#   scripts/web.sh --deps     only the libraries (build-web/deps/)
# The libraries (SDL2, SDL2_image with libpng and zlib, SDL2_mixer with its own
# MP3 decoder, libzip) are built from Debian's source packages once, into
# build-web/deps/, and kept between runs. The game folder (pictures, sounds,
# compiled data) comes from a desktop build: TERVALEN_HOST_BUILD names one that
# has been built already, otherwise build-web/host is configured and its game
# folder built.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
out="${TERVALEN_WEB_OUT:-$root/build-web}"  # TERVALEN_WEB_OUT: another folder
deps="$out/deps"
prefix="$deps/prefix"
jobs="${TERVALEN_JOBS:-2}"
port="${TERVALEN_WEB_PORT:-8000}"
mode="build"
case "${1:-}" in
  "") ;;
  --serve) mode="serve" ;;
  --deps) mode="deps" ;;
  *) echo "usage: scripts/web.sh [--serve|--deps]" >&2; exit 2 ;;
esac

# Each compiler run skips its check of the toolchain: configuring SDL runs hundreds.
export EMCC_SKIP_SANITY_CHECK=1
# Debian's Emscripten finds its JavaScript helpers (acorn) among Debian's node
# modules, which a node from elsewhere does not search by itself.
if [ -d /usr/share/nodejs ]; then export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"; fi

log() { echo "web.sh: $*"; }
seconds() { date +%s; }

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then echo sudo; else
      echo "web.sh: this needs root to install packages: $*" >&2; exit 1
    fi
  fi
}

install_emscripten() {
  if command -v emcc >/dev/null && command -v emcmake >/dev/null; then return; fi
  log "installing Emscripten from Debian"
  local sudo; sudo="$(need_root emscripten)"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends emscripten
}

# Debian's source entries: the same mirror as the binary packages, suite bookworm.
enable_sources() {
  if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then return; fi
  log "adding Debian's source packages to apt"
  local sudo; sudo="$(need_root deb-src)"
  $sudo tee /etc/apt/sources.list.d/tervalen-web-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $sudo apt-get update -qq
}

# Unpacks Debian source package $1 (the upstream tarball only: Debian's own
# patches are for Debian's build) into $deps/src and prints its folder.
fetch() {
  local package="$1" dir
  mkdir -p "$deps/download" "$deps/src"
  if ! ls "$deps/download/${package}_"*.orig.tar.* >/dev/null 2>&1; then
    (cd "$deps/download" && apt-get source --download-only "$package" >/dev/null 2>&1) || {
      echo "web.sh: cannot download the Debian source package $package" >&2; exit 1; }
  fi
  local tarball; tarball="$(ls "$deps/download/${package}_"*.orig.tar.* | head -n 1)"
  dir="$(tar tf "$tarball" | head -n 1 | cut -d/ -f1)"
  if [ ! -d "$deps/src/$dir" ]; then tar xf "$tarball" -C "$deps/src"; fi
  echo "$deps/src/$dir"
}

cmake_dep() {
  local name="$1" src="$2"; shift 2
  if [ -f "$deps/stamp-$name" ]; then return; fi
  log "building $name for wasm"
  rm -rf "$deps/build-$name"
  emcmake cmake -S "$src" -B "$deps/build-$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >"$deps/build-$name.log" 2>&1 || {
      tail -n 30 "$deps/build-$name.log" >&2; exit 1; }
  { nice cmake --build "$deps/build-$name" -j"$jobs" && cmake --install "$deps/build-$name"; } \
    >>"$deps/build-$name.log" 2>&1 || { tail -n 30 "$deps/build-$name.log" >&2; exit 1; }
  touch "$deps/stamp-$name"
}

build_deps() {
  install_emscripten
  enable_sources
  mkdir -p "$prefix"
  local start; start="$(seconds)"
  local zlib png sdl image mixer zip
  zlib="$(fetch zlib)"; png="$(fetch libpng1.6)"; sdl="$(fetch libsdl2)"
  image="$(fetch libsdl2-image)"; mixer="$(fetch libsdl2-mixer)"; zip="$(fetch libzip)"
  if [ ! -f "$deps/stamp-zlib" ]; then
    log "building zlib for wasm"
    (cd "$zlib" && emconfigure ./configure --static --prefix="$prefix" && nice emmake make -j"$jobs" libz.a \
      && emmake make install) >"$deps/build-zlib.log" 2>&1 || { tail -n 30 "$deps/build-zlib.log" >&2; exit 1; }
    touch "$deps/stamp-zlib"
  fi
  local zlibArgs=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")
  cmake_dep libpng "$png" "${zlibArgs[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF \
    -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DM_LIBRARY=""
  cmake_dep sdl2 "$sdl" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
  cmake_dep sdl2_image "$image" -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_VENDORED=OFF \
    -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_PNG_SHARED=OFF -DSDL2IMAGE_JPG=OFF \
    -DSDL2IMAGE_SVG=OFF -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF -DSDL2IMAGE_LBM=OFF \
    -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_TGA=OFF "${zlibArgs[@]}" \
    -DPNG_PNG_INCLUDE_DIR="$prefix/include" -DPNG_LIBRARY="$prefix/lib/libpng16.a"
  cmake_dep sdl2_mixer "$mixer" -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
    -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF \
    -DSDL2MIXER_WAVE=ON
  # CMake's type-size checks read nonsense from Emscripten's output (9 for
  # every type): give libzip wasm32's sizes.
  local wasmSizes=() type size
  for type in OFF_T:8 SIZE_T:4; do
    wasmSizes+=("-DHAVE_SIZEOF_${type%:*}=TRUE" "-DSIZEOF_${type%:*}=${type#*:}")
  done
  for type in INT8_T:1 INT16_T:2 INT32_T:4 INT64_T:8 SHORT:2 INT:4 LONG:4 LONG_LONG:8; do
    wasmSizes+=("-DHAVE_${type%:*}_LIBZIP=TRUE" "-D${type%:*}_LIBZIP=${type#*:}")
  done
  cmake_dep libzip "$zip" "${zlibArgs[@]}" -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    "${wasmSizes[@]}"
  log "libraries ready in $prefix ($(( $(seconds) - start )) s)"
}

build_deps
[ "$mode" = "deps" ] && exit 0

# The game folder (pictures, sounds, the compiled data) from a desktop build.
host="${TERVALEN_HOST_BUILD:-$out/host}"
if [ ! -f "$host/game/stamp" ] || [ -z "${TERVALEN_HOST_BUILD:-}" ]; then
  start="$(seconds)"
  log "laying out the game folder with a desktop build in $host"
  cmake -S "$root" -B "$host" -DCMAKE_BUILD_TYPE=Release -DTERVALEN_TESTS=OFF -DTERVALEN_BENCH=OFF \
    ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
  nice cmake --build "$host" -j"$jobs" --target tervalen_game_folder >"$out/host-build.log" 2>&1 || {
    tail -n 30 "$out/host-build.log" >&2; exit 1; }
  log "game folder ready ($(( $(seconds) - start )) s)"
fi

start="$(seconds)"
log "building the game for wasm"
emcmake cmake -S "$root" -B "$out/game" -DCMAKE_BUILD_TYPE=Release -DTERVALEN_TESTS=OFF -DTERVALEN_BENCH=OFF \
  -DTERVALEN_GAME_FOLDER=OFF -DTERVALEN_WEB_DEPS="$prefix" -DTERVALEN_WEB_GAME_DIR="$host/game" \
  ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >"$out/game-config.log" 2>&1 || {
  tail -n 30 "$out/game-config.log" >&2; exit 1; }
nice cmake --build "$out/game" -j"$jobs" >"$out/game-build.log" 2>&1 || { tail -n 40 "$out/game-build.log" >&2; exit 1; }
for f in tervalen.html tervalen.js tervalen.wasm tervalen.data favicon.ico; do cp "$out/game/$f" "$out/$f"; done
mkdir -p "$out/replays"
log "built $out/tervalen.html ($(( $(seconds) - start )) s): $(du -b "$out/tervalen.wasm" "$out/tervalen.js" \
  "$out/tervalen.data" | awk '{printf "%s%s %d KB", sep, $2, $1 / 1024; sep = ", "}' | sed "s|$out/||g")"

if [ "$mode" = "serve" ]; then
  log "serving $out at http://localhost:$port/tervalen.html (Ctrl+C stops)"
  cd "$out" && exec python3 -m http.server --bind 127.0.0.1 "$port"
fi
