# URLs are cracked and requests made with libcurl.
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
target_link_libraries(lumaroo_net PRIVATE PkgConfig::CURL)
