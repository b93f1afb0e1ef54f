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
# The window shows its first picture through Xlib before GL loads, and takes
# its GL context through GLX (platform/X11Picture, platform/gl/GlxWindowContext).
find_package(X11 REQUIRED)

# What each layer links: a layer uses only its own external libraries (the
# folders above it get theirs through the one static library).
set(QUILTRO_DEPS_platform PkgConfig::SDL2 PkgConfig::EPOXY X11::X11 Threads::Threads)
set(QUILTRO_DEPS_core Threads::Threads)
set(QUILTRO_DEPS_data PkgConfig::EXPAT PkgConfig::PNG PkgConfig::ZLIB JPEG::JPEG ${GIF_LIBRARY})
set(QUILTRO_DEPS_render PkgConfig::FREETYPE PkgConfig::FONTCONFIG)
set(QUILTRO_DEPS_audio PkgConfig::TREMOR PkgConfig::MPG123 PkgConfig::XMP)
set(QUILTRO_DEPS_app PkgConfig::EXPAT)
