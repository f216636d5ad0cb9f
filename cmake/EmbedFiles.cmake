# quavel_embed_files(TARGET name HEADER header_name.h ASSETS symbol path [symbol path ...])
# Builds a static library whose sources define each file's bytes as `const unsigned char
# symbol[]` with `const unsigned int symbol_size`, plus a generated header declaring them all
# (included as "<header_name.h>" by users of the target).
include(HostTools)
quavel_host_tool(quavel_embed_file ${CMAKE_CURRENT_LIST_DIR}/embed_file.cpp)

function(quavel_embed_files)
    cmake_parse_arguments(ARG "" "TARGET;HEADER" "ASSETS" ${ARGN})
    set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET})
    file(MAKE_DIRECTORY ${out_dir})
    set(sources)
    set(declarations "// Generated: the assets linked into the executable.\n#pragma once\n\n")
    list(LENGTH ARG_ASSETS n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET ARG_ASSETS ${i} symbol)
        list(GET ARG_ASSETS ${j} path)
        get_filename_component(path ${path} ABSOLUTE)
        set(source ${out_dir}/${symbol}.cpp)
        add_custom_command(OUTPUT ${source}
            COMMAND quavel_embed_file ${symbol} ${path} ${source}
            DEPENDS $<TARGET_FILE:quavel_embed_file> ${path}
            COMMENT "Embedding ${symbol}" VERBATIM)
        list(APPEND sources ${source})
        string(APPEND declarations "extern const unsigned char ${symbol}[];\n"
                                   "extern const unsigned int ${symbol}_size;\n")
    endforeach()
    file(WRITE ${out_dir}/${ARG_HEADER}.new "${declarations}")
    configure_file(${out_dir}/${ARG_HEADER}.new ${out_dir}/include/${ARG_HEADER} COPYONLY)
    add_library(${ARG_TARGET} STATIC ${sources})
    target_include_directories(${ARG_TARGET} PUBLIC ${out_dir}/include)
endfunction()
