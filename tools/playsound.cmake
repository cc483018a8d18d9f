# playsound: plays sound files through the sound engine, on the device or into a WAV file (--wave).
add_executable(playsound ${CMAKE_CURRENT_LIST_DIR}/playsound.cpp)
target_link_libraries(playsound PRIVATE lumaroo_sound)
