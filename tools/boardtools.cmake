# boardsim (scenario scripts on the board model) and levelbot (plays every level headless), with the
# level data of the source tree as their default boards folder.
foreach(tool boardsim levelbot)
    add_executable(${tool} ${CMAKE_CURRENT_LIST_DIR}/${tool}.cpp ${CMAKE_CURRENT_LIST_DIR}/BoardLevels.cpp)
    target_link_libraries(${tool} PRIVATE lumaroo_rules)
    target_compile_definitions(${tool} PRIVATE LUMAROO_BOARDS_DIR="${PROJECT_SOURCE_DIR}/data/boards")
endforeach()
