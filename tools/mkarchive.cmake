# The archive writer: packs the content into Kolbax.bin at build time, and writes the test archives.
add_executable(mkarchive ${CMAKE_CURRENT_LIST_DIR}/mkarchive.cpp)
