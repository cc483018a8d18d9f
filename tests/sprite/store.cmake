# The settings store's tests: their own executable, linking only the store's library, since the store
# lies below the rest of sprite/; they also open the database with SQLite itself to check what the store
# wrote.
pkg_check_modules(SQLITE3_TESTS REQUIRED IMPORTED_TARGET sqlite3)
file(GLOB store_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/store/*.cpp)
lumaroo_test(test_store THREADS SOURCES ${store_test_sources} LIBS lumaroo_store lumaroo_test_support PkgConfig::SQLITE3_TESTS)
