# Content checks: read the built archive (or, before it exists, the built pictures) and the sources.
if(NOT LUMAROO_CONTENT)
    return()
endif()

lumaroo_test(test_content
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ContentCheck.cpp ${CMAKE_CURRENT_LIST_DIR}/ArtSourcesCheck.cpp
    LIBS lumaroo_arttools lumaroo_runtime lumaroo_test_support)
target_compile_definitions(test_content PRIVATE
    LUMAROO_DATA_DIR="${PROJECT_SOURCE_DIR}/data"
    LUMAROO_PICTURE_DIR="${CMAKE_BINARY_DIR}/content/pictures"
    LUMAROO_ARCHIVE="${CMAKE_BINARY_DIR}/game/Kolbax.bin")
# The checks read what the content build makes.
add_dependencies(test_content content)

# The drawing code itself: SVG rendering, sheets, glyph tables and blending.
lumaroo_test(test_artrender SOURCES ${CMAKE_CURRENT_LIST_DIR}/ArtRenderCheck.cpp
    LIBS lumaroo_artrender lumaroo_test_support)
