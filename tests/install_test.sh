#!/usr/bin/env bash
# Installs the game the way a player or a packager does and checks the result:
#   - scripts/package.sh: a lean Release build in BUILD_DIR, its .deb and .tar.gz;
#   - cmake --install into a temporary DESTDIR: every expected file, nothing
#     left over from running the game in the build tree;
#   - the installed game started from another folder, through a link, and after
#     its whole prefix has moved: 1,000 headless frames of autoplay, the log in
#     the user's state folder, nothing written into the game's own folder;
#   - a game folder whose log.txt is a link to a file outside: the file untouched;
#   - desktop-file-validate and appstreamcli validate --no-net on the entries,
#     man -l on the manual page (which names every option of --help);
#   - dpkg-deb --info and --contents of the .deb: the real runtime dependencies
#     and nothing only the tests need, the same files as the install, stripped
#     programs, no path of the build tree anywhere in it; the .tar.gz runs
#     wherever it is unpacked;
#   - lintian, Debian's own package checker, on the .deb: no error, no warning.
# Ends with PASS, or FAIL and the checks that failed.
#   tests/install_test.sh [BUILD_DIR]       (default build-pkg)
set -uo pipefail
cd "$(dirname "$0")/.."
src="$PWD"
build="${1:-build-pkg}"
id=io.github.tervalen.Tervalen
failures=()
fail() { failures+=("$*"); echo "FAILED: $*"; }
check() { local what="$1"; shift; "$@" >/dev/null 2>&1 || fail "$what"; }

scripts/package.sh "$build" || { echo "FAIL: scripts/package.sh"; exit 1; }
build="$(cd "$build" && pwd)"
version=$(sed -nE 's/^CMAKE_PROJECT_VERSION:[A-Z]+=(.*)/\1/p' "$build/CMakeCache.txt")
deb=$(ls "$build"/tervalen_"$version"_*.deb)
tgz=$(ls "$build"/tervalen-"$version"-*.tar.gz)
tmp=$(mktemp -d /tmp/tervalen-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT

# Running the game from the build tree leaves a log there; it must not be installed.
[ -e "$build/game/log.txt" ] || : >"$build/game/log.txt"

echo "== cmake --install into DESTDIR"
DESTDIR="$tmp/dest" cmake --install "$build" --prefix /usr >"$tmp/install.log" || fail "cmake --install"
root="$tmp/dest/usr"
(cd "$tmp/dest" && find . -type f | sed 's|^\./||' | sort) >"$tmp/installed.txt"
expected=(
  usr/games/tervalen usr/games/tervalen-data
  usr/share/tervalen/data/res.dat usr/share/tervalen/data/system.dat
  usr/share/tervalen/data/chara/c_morivane.dat usr/share/tervalen/data/scene/zd.dat
  usr/share/tervalen/pak.zip usr/share/tervalen/pak/ui/hta/bg.png
  usr/share/tervalen/font1.fnt usr/share/tervalen/font1.png usr/share/tervalen/icon.ico
  usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/48x48/apps/$id.png usr/share/icons/hicolor/128x128/apps/$id.png
  usr/share/icons/hicolor/256x256/apps/$id.png usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man6/tervalen.6.gz usr/share/man/man6/tervalen-data.6.gz
  usr/share/doc/tervalen/README.md usr/share/doc/tervalen/LICENSE
  usr/share/doc/tervalen/copyright usr/share/doc/tervalen/changelog.gz
)
for f in "${expected[@]}"; do grep -qx "$f" "$tmp/installed.txt" || fail "not installed: $f"; done
grep -E '(^|/)(log\.txt|stamp)$' "$tmp/installed.txt" && fail "build leftovers installed"
for size in 16 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/$id.png"
  # The width and height in the PNG header (IHDR), big-endian.
  [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" 2>/dev/null | tr -s ' ')" = " $size $size" ] ||
    fail "$png is not $size x $size"
done
echo "installed $(wc -l <"$tmp/installed.txt") files"

# Runs the program $1 headless for 1,000 frames of autoplay in folder $2 with the
# home $3 (no XDG variables) and any further options; checks the exit code and
# the result line.
play() {
  local program="$1" where="$2" home="$3"; shift 3
  mkdir -p "$where" "$home"
  (cd "$where" && env -u XDG_STATE_HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" \
     "$program" --headless --autoplay --frames 1000 --seed 3 "$@" >"$tmp/out.txt" 2>"$tmp/err.txt")
  local rc=$?
  [ $rc -eq 0 ] || { fail "$program in $where exited with $rc: $(cat "$tmp/err.txt")"; return; }
  grep -qE '^result=(running|victory|defeat) score=[0-9]+ kills=[0-9]+ frames=1000$' "$tmp/out.txt" ||
    fail "$program in $where printed no result line: $(cat "$tmp/out.txt")"
}
snapshot() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }
state_log() { grep -q "游戏开始" "$1/.local/state/tervalen/log.txt" 2>/dev/null || fail "no log in $1/.local/state/tervalen"; }

echo "== the installed game, run from elsewhere"
snapshot "$root/share/tervalen" >"$tmp/before.txt"
play "$root/games/tervalen" "$tmp/elsewhere" "$tmp/home1"
cat "$tmp/out.txt"
state_log "$tmp/home1"
ln -s "$root/games/tervalen" "$tmp/elsewhere/tervalen-link"
play "$tmp/elsewhere/tervalen-link" "$tmp/elsewhere" "$tmp/home2"
state_log "$tmp/home2"
snapshot "$root/share/tervalen" >"$tmp/after.txt"
cmp -s "$tmp/before.txt" "$tmp/after.txt" || fail "the game wrote into its installed folder"
[ -e "$tmp/elsewhere/log.txt" ] && fail "the game logged into the folder it was started from"

echo "== the whole prefix moved"
mv "$tmp/dest/usr" "$tmp/moved"
play "$tmp/moved/games/tervalen" "$tmp/elsewhere" "$tmp/home3"
state_log "$tmp/home3"

echo "== --root with a log.txt that links outside"
cp -r "$tmp/moved/share/tervalen" "$tmp/mygame"
echo "not the game's" >"$tmp/outside.txt"
rm -f "$tmp/mygame/log.txt"
ln -s "$tmp/outside.txt" "$tmp/mygame/log.txt" || fail "ln -s"
play "$tmp/moved/games/tervalen" "$tmp/elsewhere" "$tmp/home4" --root "$tmp/mygame"
[ "$(cat "$tmp/outside.txt")" = "not the game's" ] || fail "the log wrote through a link"
[ -L "$tmp/mygame/log.txt" ] || fail "the log link was replaced"
state_log "$tmp/home4"
mv "$tmp/moved" "$tmp/dest/usr"

echo "== desktop-file-validate $id.desktop"
desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop-file-validate"
echo "== appstreamcli validate --no-net $id.metainfo.xml"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "the desktop entry names another icon"
grep -qx "Exec=tervalen" "$root/share/applications/$id.desktop" || fail "the desktop entry starts another program"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo launches another desktop entry"
newest=$(sed -nE 's/.*<release version="([^"]+)".*/\1/p' "$root/share/metainfo/$id.metainfo.xml" | head -n 1)
[ "$newest" = "$version" ] || fail "the newest release in the metainfo is $newest, the build is $version"

echo "== man -l tervalen.6.gz tervalen-data.6.gz"
MANWIDTH=80 man --warnings -l "$root/share/man/man6/tervalen.6.gz" >"$tmp/man.txt" 2>"$tmp/man-warnings.txt" ||
  fail "man -l"
MANWIDTH=80 man --warnings -l "$root/share/man/man6/tervalen-data.6.gz" >"$tmp/man-data.txt" 2>>"$tmp/man-warnings.txt" ||
  fail "man -l tervalen-data"
[ -s "$tmp/man-warnings.txt" ] && fail "man page warnings: $(cat "$tmp/man-warnings.txt")"
for section in NAME SYNOPSIS OPTIONS KEYS FILES; do grep -q "^$section" "$tmp/man.txt" || fail "man page has no $section"; done
for option in $("$root/games/tervalen" --help | grep -oE '^ +--[a-z]+' | tr -d ' '); do
  grep -q -- "$option" "$tmp/man.txt" || fail "the man page does not explain $option"
done
echo "$(wc -l <"$tmp/man.txt") lines, every option of --help"

echo "== dpkg-deb --info $(basename "$deb")"
dpkg-deb --info "$deb" | tee "$tmp/info.txt" || fail "dpkg-deb --info"
depends=$(sed -nE 's/^ Depends: //p' "$tmp/info.txt")
for lib in libsdl2-2.0-0 libsdl2-image-2.0-0 libsdl2-mixer-2.0-0 libzip4; do
  grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "the package does not depend on $lib"
done
grep -qiE 'gtest|gmock|benchmark|asan|ubsan|lame|clang' <<<"$depends" && fail "the package depends on test or build tools: $depends"
echo "== dpkg-deb --contents $(basename "$deb")"
dpkg-deb --contents "$deb" >"$tmp/contents.txt" || fail "dpkg-deb --contents"
awk '$1 !~ /^d/ { print $6 }' "$tmp/contents.txt" | sed 's|^\./||' | sort >"$tmp/deb-files.txt"
diff "$tmp/installed.txt" "$tmp/deb-files.txt" >"$tmp/deb-diff.txt" || fail "the .deb holds other files than the install: $(cat "$tmp/deb-diff.txt")"
grep -F "$src" "$tmp/contents.txt" && fail "a build path in the .deb's file list"
mkdir -p "$tmp/deb"
dpkg-deb -x "$deb" "$tmp/deb"
dpkg-deb -e "$deb" "$tmp/deb/DEBIAN"
for program in tervalen tervalen-data; do
  file "$tmp/deb/usr/games/$program" | grep -q ", stripped" || fail "$program is not stripped in the .deb"
done
if grep -rlF "$src" "$tmp/deb"; then fail "a file of the .deb holds the build path $src"; fi
echo "$(wc -l <"$tmp/deb-files.txt") files, none naming $src"

echo "== lintian $(basename "$deb")"
# The tags lintian shows by default: errors and warnings fail, info is shown.
lintian --fail-on error,warning "$deb" >"$tmp/lintian.txt" 2>&1 || fail "lintian: $(cat "$tmp/lintian.txt")"
cat "$tmp/lintian.txt"
grep -qE '^[EW]: ' "$tmp/lintian.txt" && fail "lintian reports errors or warnings"
echo "lintian: no error, no warning"

echo "== $(basename "$tgz")"
mkdir -p "$tmp/tgz"
tar -xzf "$tgz" -C "$tmp/tgz" || fail "tar"
top=$(ls "$tmp/tgz")
(cd "$tmp/tgz/$top" && find . -type f | sed 's|^\./|usr/|' | sort) >"$tmp/tgz-files.txt"
diff -q "$tmp/installed.txt" "$tmp/tgz-files.txt" >/dev/null || fail "the .tar.gz holds other files than the install"
play "$tmp/tgz/$top/games/tervalen" "$tmp/elsewhere" "$tmp/home5"
state_log "$tmp/home5"

if [ ${#failures[@]} -eq 0 ]; then
  echo "install test: PASS"
else
  echo "install test: FAIL (${#failures[@]} checks)"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
