# The SDL window tests: their own executable, since they need the video subsystem and SDL's headers
# (libpng writes the pictures of a test archive).
pkg_check_modules(SDL2_TESTS REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(PNG_TESTS REQUIRED IMPORTED_TARGET libpng)
file(GLOB _sdl_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/sdl/*.cpp)
lumaroo_test(test_window_sdl THREADS SOURCES ${_sdl_test_sources}
             LIBS lumaroo_window lumaroo_test_support PkgConfig::SDL2_TESTS PkgConfig::PNG_TESTS)
if(TARGET windowdemo)
    add_dependencies(test_window_sdl windowdemo)
    target_compile_definitions(test_window_sdl PRIVATE LUMAROO_WINDOWDEMO="$<TARGET_FILE:windowdemo>")
endif()
