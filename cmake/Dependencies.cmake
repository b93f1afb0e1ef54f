# Every external library comes from a Debian package; see setup.sh.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(TREMOR REQUIRED IMPORTED_TARGET vorbisidec)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(XMP REQUIRED IMPORTED_TARGET libxmp)
find_package(JPEG REQUIRED)
find_library(GIF_LIBRARY gif REQUIRED)

add_library(quiltro_deps INTERFACE)
target_link_libraries(quiltro_deps INTERFACE
  PkgConfig::SDL2 PkgConfig::EPOXY PkgConfig::EXPAT PkgConfig::PNG PkgConfig::ZLIB
  PkgConfig::FREETYPE PkgConfig::FONTCONFIG PkgConfig::TREMOR PkgConfig::MPG123
  PkgConfig::XMP JPEG::JPEG ${GIF_LIBRARY} Threads::Threads)
