# Sounds: soundgen builds every sound of data/sound/sounds.txt from its recipe (.fx, synthesised) or
# score (.score, played with FluidSynth on a General MIDI SoundFont) into content/sounds, and registers
# it as an archive entry. Each sound is its own build step, so a changed recipe rebuilds one file.
if(NOT LUMAROO_CONTENT)
    return()
endif()

pkg_check_modules(SND_FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(SND_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)

# The SoundFont the scores are played on: Debian's fluid-soundfont-gm, else MuseScore's small one.
find_file(LUMAROO_SOUNDFONT NAMES FluidR3_GM.sf2 MuseScore_General.sf3 MuseScore_General.sf2
          PATHS /usr/share/sounds/sf2 /usr/share/sounds/sf3 /usr/share/soundfonts NO_DEFAULT_PATH
          DOC "General MIDI SoundFont the music is rendered with")
if(NOT LUMAROO_SOUNDFONT)
    message(FATAL_ERROR "No General MIDI SoundFont found for the music: install fluid-soundfont-gm "
                        "(scripts/install-deps), or set LUMAROO_SOUNDFONT to a .sf2/.sf3 file")
endif()

set(LUMAROO_SOUND_DIR ${PROJECT_SOURCE_DIR}/data/sound)
set(LUMAROO_SOUND_OUT ${CMAKE_BINARY_DIR}/content/sounds)
file(MAKE_DIRECTORY ${LUMAROO_SOUND_OUT})

# Recipes, scores, levels and writers: shared by soundgen and the sound checks.
add_library(lumaroo_soundtools STATIC
    ${CMAKE_CURRENT_LIST_DIR}/SoundLevel.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundRecipe.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundSynth.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SoundScore.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundList.cpp)
target_link_libraries(lumaroo_soundtools PUBLIC lumaroo_runtime PkgConfig::SND_VORBISENC)
add_executable(soundgen ${CMAKE_CURRENT_LIST_DIR}/soundgen.cpp ${CMAKE_CURRENT_LIST_DIR}/SoundFluid.cpp)
target_link_libraries(soundgen PRIVATE lumaroo_soundtools lumaroo_sound PkgConfig::SND_FLUIDSYNTH)
# soundgen runs in every build, so it is optimised even in debug builds.
target_compile_options(lumaroo_soundtools PRIVATE -O2)
target_compile_options(soundgen PRIVATE -O2)

# In sanitizer builds the libraries' own caches would read as leaks.
set(_sound_env ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 TSAN_OPTIONS=report_bugs=0)

set(_sound_list ${LUMAROO_SOUND_DIR}/sounds.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_sound_list})
file(STRINGS ${_sound_list} _sound_lines)
set(LUMAROO_SOUND_FILES "")
foreach(_line IN LISTS _sound_lines)
    if(_line MATCHES "^[ \t]*#" OR _line MATCHES "^[ \t]*$")
        continue()
    endif()
    if(NOT _line MATCHES "^[ \t]*([0-9]+|ambient|music|extra)[ \t]+([A-Za-z][A-Za-z0-9_]*)[ \t]+(wav|ogg)[ \t]")
        message(FATAL_ERROR "data/sound/sounds.txt: line does not read as a sound: ${_line}")
    endif()
    set(_name ${CMAKE_MATCH_2})
    set(_out ${LUMAROO_SOUND_OUT}/${_name}.${CMAKE_MATCH_3})
    file(GLOB _source CONFIGURE_DEPENDS ${LUMAROO_SOUND_DIR}/effects/${_name}.*
                                        ${LUMAROO_SOUND_DIR}/ambient/${_name}.*
                                        ${LUMAROO_SOUND_DIR}/music/${_name}.*)
    list(LENGTH _source _count)
    if(NOT _count EQUAL 1)
        message(FATAL_ERROR "data/sound/sounds.txt: expected one source effects/, ambient/ or music/"
                            "${_name}.fx or .score, found ${_count}")
    endif()
    add_custom_command(OUTPUT ${_out}
        COMMAND ${_sound_env} $<TARGET_FILE:soundgen> ${_source} ${_out} --soundfont ${LUMAROO_SOUNDFONT}
        DEPENDS soundgen ${_source}
        COMMENT "Sounding ${_name}"
        VERBATIM)
    list(APPEND LUMAROO_SOUND_FILES ${_out})
    set_property(GLOBAL APPEND PROPERTY LUMAROO_ARCHIVE_ENTRIES "${_name} ${_out}")
endforeach()
add_custom_target(sounds DEPENDS ${LUMAROO_SOUND_FILES})
