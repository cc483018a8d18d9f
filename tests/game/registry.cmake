# Every class that the tree defines a class record for, read from the sources at configure time, so the
# registry test covers a new creatable class the moment it is written.
file(GLOB_RECURSE _record_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/lang/*.cpp ${PROJECT_SOURCE_DIR}/util/*.cpp ${PROJECT_SOURCE_DIR}/io/*.cpp
    ${PROJECT_SOURCE_DIR}/window/*.cpp ${PROJECT_SOURCE_DIR}/sprite/*.cpp ${PROJECT_SOURCE_DIR}/game/*.cpp)
set(_record_names "")
foreach(_source IN LISTS _record_sources)
    file(STRINGS ${_source} _lines REGEX "^LANG_DEFINE_CLASS_RECORD\\([A-Za-z0-9_]+\\)")
    foreach(_line IN LISTS _lines)
        string(REGEX REPLACE "^LANG_DEFINE_CLASS_RECORD\\(([A-Za-z0-9_]+)\\).*" "\\1" _name "${_line}")
        file(RELATIVE_PATH _where ${PROJECT_SOURCE_DIR} ${_source})
        string(APPEND _record_names "    {\"${_name}\", \"${_where}\"},\n")
    endforeach()
endforeach()
set(_list_file ${CMAKE_CURRENT_BINARY_DIR}/generated/ClassRecordList.inc)
file(CONFIGURE OUTPUT ${_list_file} CONTENT "${_record_names}")
add_executable(test_registry ${CMAKE_CURRENT_SOURCE_DIR}/registry/ClassRegistryCheck.cpp)
target_include_directories(test_registry PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
# Linked exactly as the program is: the whole game library, nothing referencing any class.
target_link_libraries(test_registry PRIVATE lumaroo_game GTest::gtest GTest::gtest_main)
gtest_discover_tests(test_registry DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
