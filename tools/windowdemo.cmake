# windowdemo: opens the game's 800x600 window and shows mouse, clicks, drags, keys, resizing and full screen.
add_executable(windowdemo ${CMAKE_CURRENT_LIST_DIR}/windowdemo.cpp)
target_link_libraries(windowdemo PRIVATE lumaroo_window)
