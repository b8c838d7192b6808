# kestrin_library(<Name> SOURCES <files>... [PUBLIC <libraries>...] [PRIVATE <libraries>...])
#
# One folder, one static library: target kestrin_<name>, known to the rest of the tree as
# Kestrin::<Name>, its folder on the include path of everything that links it.
function(kestrin_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;PUBLIC;PRIVATE")
    string(TOLOWER "kestrin_${name}" target)
    qt_add_library(${target} STATIC ${arg_SOURCES})
    add_library(Kestrin::${name} ALIAS ${target})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${arg_PUBLIC})
    if(arg_PRIVATE)
        target_link_libraries(${target} PRIVATE ${arg_PRIVATE})
    endif()
endfunction()
