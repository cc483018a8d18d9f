# Text: FreeType renders glyphs, fontconfig resolves face names to installed font files.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::FREETYPE PkgConfig::FONTCONFIG)
