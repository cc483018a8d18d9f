# The canvas tests draw on a real (headless) window.
if(TARGET test_sprite)
    target_link_libraries(test_sprite PRIVATE lumaroo_test_window)
endif()
