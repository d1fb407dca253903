# System libraries, found through pkg-config as imported targets (PkgConfig::NAME).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(GL REQUIRED IMPORTED_TARGET gl)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
# Movies: Ogg pages (libogg), Theora pictures, Vorbis sound (libvorbis).
pkg_check_modules(THEORADEC REQUIRED IMPORTED_TARGET theoradec vorbis ogg)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
