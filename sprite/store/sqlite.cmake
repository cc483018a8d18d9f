# The settings store keeps its keys and values in SQLite.
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::SQLITE3)
