# The archive writer: packs the content into Kolbax.bin at build time, and writes the test archives.
# Its format code is a library of its own, which the tests' archive builder shares.
add_library(lumaroo_archiveformat STATIC ${CMAKE_CURRENT_LIST_DIR}/ArchiveFormat.cpp)
add_executable(mkarchive ${CMAKE_CURRENT_LIST_DIR}/mkarchive.cpp)
target_link_libraries(mkarchive PRIVATE lumaroo_archiveformat)
