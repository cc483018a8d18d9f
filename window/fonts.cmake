# Text: FreeType renders glyphs, fontconfig resolves face names to installed font files.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
target_link_libraries(lumaroo_window PRIVATE PkgConfig::FREETYPE PkgConfig::FONTCONFIG)
