# lumaroo_layer(target DEPENDS ...): one library per source folder, built from every .cpp file in it,
# linking only the layers below it. Extra settings of a folder live in *.cmake fragments beside its
# sources (third-party libraries of one concern, generated files), included after the target exists;
# a fragment adds to the layer's code through ${LUMAROO_LAYER_CODE}.
#
# Classes that data files create by name register their class records from static objects. A static
# library would let the linker drop every object file that nothing references, and with it the
# record, so that Class::forName answers null depending on what a program happens to use. Each layer
# is therefore two targets: `<target>_code`, the static library of the folder's objects, and
# `<target>`, the interface that everything links, which pulls the whole archive in. One way for the
# whole tree: every layer, test, tool and benchmark links `<target>`.
#
# The program's entry point (a file named main.cpp) never belongs to a layer: it would make every test
# executable of that layer run the program instead of its tests. A fragment builds the executable.
function(lumaroo_layer target)
    cmake_parse_arguments(L "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    lumaroo_whole_library(${target} "${sources}" "${L_DEPENDS}")
    set(LUMAROO_LAYER_CODE ${target}_code PARENT_SCOPE)
endfunction()

# lumaroo_whole_library(target sources depends): the static `<target>_code` and the interface `<target>`
# that links it whole, as described above. With no sources, `<target>_code` is an empty interface.
function(lumaroo_whole_library target sources depends)
    add_library(${target} INTERFACE)
    if(sources)
        add_library(${target}_code STATIC ${sources})
        target_link_libraries(${target}_code PUBLIC ${depends})
        target_link_libraries(${target} INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}_code>")
    else()
        add_library(${target}_code INTERFACE)
    endif()
    target_link_libraries(${target} INTERFACE ${depends})
endfunction()

# Includes the *.cmake fragments of the current folder, in name order.
macro(lumaroo_include_fragments)
    file(GLOB _fragments CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
    list(SORT _fragments)
    foreach(_fragment IN LISTS _fragments)
        include(${_fragment})
    endforeach()
endmacro()
