# lumaroo_layer(target DEPENDS ...): one library per source folder, built from every .cpp file in it,
# linking only the layers below it. Extra settings of a folder live in *.cmake fragments beside its
# sources (third-party libraries of one concern, generated files), included after the target exists.
function(lumaroo_layer target)
    cmake_parse_arguments(L "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC ${L_DEPENDS})
    else()
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE ${L_DEPENDS})
    endif()
endfunction()

# Includes the *.cmake fragments of the current folder, in name order.
macro(lumaroo_include_fragments)
    file(GLOB _fragments CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
    list(SORT _fragments)
    foreach(_fragment IN LISTS _fragments)
        include(${_fragment})
    endforeach()
endmacro()
