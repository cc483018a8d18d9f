# The archive tests: a library module serving "FILE" resources, and the archive format the writer uses.
add_library(resource_test_module MODULE ${CMAKE_CURRENT_LIST_DIR}/ResourceTestModule.cpp)
set_target_properties(resource_test_module PROPERTIES PREFIX "" OUTPUT_NAME "resourcetest" SUFFIX ".dll")
add_dependencies(test_lang resource_test_module)
target_link_libraries(test_lang PRIVATE lumaroo_test_support)
target_compile_definitions(test_lang PRIVATE LUMAROO_TEST_MODULE="$<TARGET_FILE:resource_test_module>")
