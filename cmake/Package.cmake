# Packages of the installed game (see Install.cmake), made by cpack in the
# build folder, or by scripts/package.sh from a lean Release build:
#   tervalen_VERSION_ARCH.deb     installs under /usr; depends on what the
#                                 programs link (found by dpkg-shlibdeps)
#   tervalen-VERSION-Linux.tar.gz bin/ and share/ to unpack anywhere
# Build packages without sanitizers: an instrumented program would depend on
# the sanitizer runtimes.

set(CPACK_PACKAGE_NAME tervalen)
set(CPACK_PACKAGE_VENDOR "The Tervalen developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling action fighting game")
# The long description, in lines short enough for package managers.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "You are Morivane, a street fighter with a red headband, and you punch and"
  "kick your way from a city street at dusk through the harbour and a temple"
  "courtyard to the final hall, where the boss waits."
  "."
  "Characters, effects and scenes are data files that modders can write as"
  "text and compile with the included tool tervalen-data.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/tervalen/tervalen)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tervalen developers <tervalen@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# `make package_source` packs the sources: never the build folders or git's.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git$" "/build[^/]*/" "/\\\\.cache/")

include(CPack)
