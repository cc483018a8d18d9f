# The window, its events, cursors, message boxes and the screen copy run on SDL2.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::SDL2)
