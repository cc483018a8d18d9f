# Definition scripts: every file of data/script/ ("datfile", the scene, and the dialogs' *.def
# sub-scripts) is packed as it stands, as an archive entry of its file name. The scripts are plain
# ASCII and the loader reads their bytes directly, so nothing is converted; the copy under
# content/scripts gives the archive step a file that changes only when the script does.
if(NOT LUMAROO_CONTENT)
    return()
endif()

set(LUMAROO_SCRIPT_SOURCE ${PROJECT_SOURCE_DIR}/data/script)
set(LUMAROO_SCRIPT_OUT ${CMAKE_BINARY_DIR}/content/scripts)

file(GLOB _scripts CONFIGURE_DEPENDS ${LUMAROO_SCRIPT_SOURCE}/*)
set(_script_files "")
foreach(_script IN LISTS _scripts)
    get_filename_component(_name ${_script} NAME)
    # The loader reads a name that begins with a digit, "-" or "." as a number, and one that begins
    # with "<" as a section marker: no script could be named by such a name.
    if(NOT _name MATCHES "^[A-Za-z_][A-Za-z0-9_.]*$")
        message(FATAL_ERROR "data/script/${_name}: a script's name must begin with a letter or \"_\" "
                            "and hold only letters, digits, \"_\" and \".\"")
    endif()
    set(_out ${LUMAROO_SCRIPT_OUT}/${_name})
    add_custom_command(OUTPUT ${_out}
        COMMAND ${CMAKE_COMMAND} -E copy ${_script} ${_out}
        DEPENDS ${_script}
        COMMENT "Copying the script ${_name}"
        VERBATIM)
    list(APPEND _script_files ${_out})
    set_property(GLOBAL APPEND PROPERTY LUMAROO_ARCHIVE_ENTRIES "${_name} ${_out}")
endforeach()
add_custom_target(scripts DEPENDS ${_script_files})
