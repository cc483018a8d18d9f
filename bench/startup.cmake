# The real game's start-up time, idle CPU use and peak memory, measured by bench/startup.sh:
# `cmake --build --preset release --target bench_startup`. It plays the packed archive.
if(TARGET lumaroo AND LUMAROO_CONTENT)
    add_custom_target(bench_startup
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/startup.sh $<TARGET_FILE:lumaroo> ${PROJECT_SOURCE_DIR}
        DEPENDS lumaroo boards_folder content
        USES_TERMINAL
        VERBATIM)
endif()
