# URLs are cracked and requests made with libcurl.
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
target_link_libraries(${LUMAROO_LAYER_CODE} PRIVATE PkgConfig::CURL)
