# The soak driver of the real game (tests/soak): the `soak` executable that scripts/soak runs for
# minutes under the sanitizers, a short smoke run of each mode for CI, the bad-data table test and the
# kill test of a soak run. They play the packed archive and the boards beside the program, so they exist
# only where content is built.
if(NOT LUMAROO_CONTENT OR NOT TARGET lumaroo)
    return()
endif()
set(_soak_dir ${PROJECT_SOURCE_DIR}/tests/soak)
add_library(lumaroo_soak STATIC ${_soak_dir}/SoakSession.cpp ${_soak_dir}/SoakPlayers.cpp)
target_link_libraries(lumaroo_soak PUBLIC lumaroo_game lumaroo_test_support)
add_executable(soak ${_soak_dir}/soak.cpp)
target_link_libraries(soak PRIVATE lumaroo_soak)
# The runs play the packed archive: building the driver (as threaded_tests does) builds the archive too.
add_dependencies(soak boards_folder content)

# The whole game runs with real sound; the tests' suppressions cover the libraries it uses.
set(LUMAROO_SOAK_TSAN_SUPP ${PROJECT_SOURCE_DIR}/tests/tsan.supp)
set(_soak_env SDL_VIDEODRIVER=dummy ALSOFT_DRIVERS=null TSAN_OPTIONS=suppressions=${LUMAROO_SOAK_TSAN_SUPP})

set(_soak_data ${CMAKE_BINARY_DIR}/game)
foreach(_mode bot monkey)
    add_test(NAME soak.smoke_${_mode} COMMAND soak ${_mode} --data ${_soak_data} --seed 7 --frames 2000)
    set_tests_properties(soak.smoke_${_mode} PROPERTIES LABELS soak TIMEOUT 60
                         ENVIRONMENT "${_soak_env}")
endforeach()

add_executable(test_soak ${_soak_dir}/BadDataTest.cpp)
target_link_libraries(test_soak PRIVATE lumaroo_soak GTest::gtest GTest::gtest_main)
target_compile_definitions(test_soak PRIVATE LUMAROO_GAME_DATA="${_soak_data}")
add_dependencies(test_soak boards_folder content)
# These play the packed archive, which the threaded-tests build does not make: they run in the full
# sanitizer builds, and scripts/soak runs the driver under ThreadSanitizer.
gtest_discover_tests(test_soak DISCOVERY_TIMEOUT 60
                     PROPERTIES LABELS soak TIMEOUT 150
                                ENVIRONMENT TSAN_OPTIONS=suppressions=${LUMAROO_SOAK_TSAN_SUPP})

# The kill test needs the bot to count levels within its time; under ThreadSanitizer the game runs too
# slowly for that, and what it checks (the store across SIGKILL) involves no threads of the test's own.
if(NOT LUMAROO_SANITIZE STREQUAL "thread")
    add_executable(test_soak_kill ${_soak_dir}/SoakKillTest.cpp)
    # The test reads the store's rows through SQLite itself, beside the game's own connection.
    pkg_check_modules(SQLITE3_SOAK REQUIRED IMPORTED_TARGET sqlite3)
    target_link_libraries(test_soak_kill PRIVATE lumaroo_game lumaroo_test_support GTest::gtest
                          GTest::gtest_main PkgConfig::SQLITE3_SOAK)
    target_compile_definitions(test_soak_kill PRIVATE LUMAROO_GAME_DATA="${_soak_data}"
                               LUMAROO_SOAK_EXE="$<TARGET_FILE:soak>")
    add_dependencies(test_soak_kill boards_folder soak)
    gtest_discover_tests(test_soak_kill DISCOVERY_TIMEOUT 60 PROPERTIES LABELS soak TIMEOUT 120)
endif()
