# The program: the entry point is its own file, outside the layer library, linked with the whole game.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    add_executable(lumaroo ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    target_link_libraries(lumaroo PRIVATE lumaroo_game)
endif()
