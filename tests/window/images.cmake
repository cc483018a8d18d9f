# The image and drawing tests compare with reference libraries (giflib, pixman) and write PNG and JPEG
# files for round trips.
find_package(GIF REQUIRED)
pkg_check_modules(TEST_PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
pkg_check_modules(TEST_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(TEST_JPEG REQUIRED IMPORTED_TARGET libjpeg)
target_link_libraries(test_window PRIVATE lumaroo_test_support GIF::GIF PkgConfig::TEST_PIXMAN PkgConfig::TEST_PNG
                      PkgConfig::TEST_JPEG)
target_sources(test_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/ImageTestSupport.cpp)
