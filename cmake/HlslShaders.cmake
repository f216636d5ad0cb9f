# quavel_hlsl_shaders(TARGET <lib> [HEADER <name.h>]
#                     SHADERS <file.hlsl> <vs|ps|cs> <entry> [<file> <stage> <entry> ...]
#                     [INCLUDE_DIRS <dir> ...])
#
# Compiles every HLSL program once into a byte block linked into the static library <lib>.
# A block is named after its file stem in lowerCamelCase (ps_copy.hlsl -> psCopy); the
# generated header <name.h> (default <lib>.h), on <lib>'s public include path, declares
#     extern const unsigned char psCopy[];
#     extern const unsigned int psCopy_size;
# for each. A program is rebuilt when it or any file it includes changes.
#
# Windows with fxc (the Windows SDK): fxc /T vs_5_0|ps_5_0|cs_5_0 gives DXBC containers,
# linked as they are (by quavel_embed_file of cmake/EmbedFiles.cmake).
# Windows without fxc (the mingw-w64 cross build): nothing here can make DXBC, so a block is
# the program's HLSL source with its includes expanded; the program registers it with
# platform/shader_code.h, whose prepareShaderCode compiles it once at start-up.
# Elsewhere: shaderpack compiles with the quavel_shader_compiler library (glslang and
# SPIRV-Cross in-process: HLSL -> SPIR-V -> GLSL 4.50 and the register table) into the
# Direct3D layer's block.
# The web build (wasm32): shaderpack, built for the build machine, compiles the same way to
# SPIR-V (vertex programs with y inverted, each stage in its bind group) with the binding
# table; web/tools/spirv-to-wgsl.mjs turns the SPIR-V into WGSL with naga-wasm under Node;
# shaderpack puts both into the web Direct3D layer's block
# (src/platform/web/d3d11/wgsl_block.h).
# On every build a second library, <lib>_programs, lists every program with its source file,
# stage, entry, include directories and block (platform/hlsl_program.h), for tests
# and live compilation (platform/hlsl_compiler.h, which it links).
# <lib>'s properties QUAVEL_HLSL_STEMS and QUAVEL_HLSL_BLOCKS list the programs' file stems and
# block names in the order given, for code generated from the same list.

# What a block holds on this build: bytecode (fxc, or the SPIR-V/GLSL path) or source.
set(QUAVEL_SHADER_BLOCKS bytecode)
if(QUAVEL_WEB)
    set(QUAVEL_SHADER_BLOCKS wgsl)
    find_program(QUAVEL_NODE node REQUIRED)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/node_modules/naga-wasm/package.json)
        message(FATAL_ERROR "naga-wasm is not installed: run scripts/setup (npm ci)")
    endif()
elseif(WIN32)
    find_program(QUAVEL_FXC fxc
        HINTS "$ENV{WindowsSdkVerBinPath}/x64" "$ENV{WindowsSdkBinPath}/x64")
    if(NOT QUAVEL_FXC)
        set(QUAVEL_SHADER_BLOCKS source)
        include(HostTools)
        quavel_host_tool(expand_hlsl_includes ${CMAKE_CURRENT_LIST_DIR}/expand_hlsl_includes.cpp)
    endif()
endif()

function(_quavel_shaderpack_tool)
    if(TARGET shaderpack)
        return()
    endif()
    if(CMAKE_CROSSCOMPILING AND NOT WIN32)
        # glslang and SPIRV-Cross are the build machine's libraries: shaderpack is built
        # there, as its own project, with the build machine's compiler.
        include(ExternalProject)
        set(host_dir ${PROJECT_BINARY_DIR}/shaderpack-host)
        ExternalProject_Add(shaderpack_host
            SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/shaderpack/host
            BINARY_DIR ${host_dir}
            CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=
                       -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
            BUILD_ALWAYS ON
            BUILD_BYPRODUCTS ${host_dir}/shaderpack/shaderpack
            INSTALL_COMMAND "")
        add_executable(shaderpack IMPORTED GLOBAL)
        set_target_properties(shaderpack PROPERTIES
            IMPORTED_LOCATION ${host_dir}/shaderpack/shaderpack)
        add_dependencies(shaderpack shaderpack_host)
    else()
        add_subdirectory(${PROJECT_SOURCE_DIR}/tools/shaderpack ${PROJECT_BINARY_DIR}/shaderpack-host)
    endif()
endfunction()

function(_quavel_hlsl_profile stage out)
    set(profiles vs vs_5_0 ps ps_5_0 cs cs_5_0)
    list(FIND profiles ${stage} index)
    if(index EQUAL -1 OR NOT stage MATCHES "^(vs|ps|cs)$")
        message(FATAL_ERROR "quavel_hlsl_shaders: stage must be vs, ps or cs, not '${stage}'")
    endif()
    math(EXPR index "${index} + 1")
    list(GET profiles ${index} profile)
    set(${out} ${profile} PARENT_SCOPE)
endfunction()

function(quavel_hlsl_shaders)
    cmake_parse_arguments(ARG "" "TARGET;HEADER" "SHADERS;INCLUDE_DIRS" ${ARGN})
    if(NOT ARG_TARGET)
        message(FATAL_ERROR "quavel_hlsl_shaders: TARGET is required")
    endif()
    list(LENGTH ARG_SHADERS count)
    math(EXPR remainder "${count} % 3")
    if(count EQUAL 0 OR NOT remainder EQUAL 0)
        message(FATAL_ERROR "quavel_hlsl_shaders: SHADERS takes <file> <stage> <entry> triples")
    endif()
    if(NOT ARG_HEADER)
        set(ARG_HEADER ${ARG_TARGET}.h)
    endif()

    set(work ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_hlsl)
    set(include_dir ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_include)
    file(MAKE_DIRECTORY ${work} ${include_dir})

    set(include_flags "")
    set(fxc_include_flags "")
    set(include_dirs "")
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        get_filename_component(dir ${dir} ABSOLUTE)
        list(APPEND include_flags -I${dir})
        list(APPEND fxc_include_flags /I ${dir})
        list(APPEND include_dirs ${dir})
    endforeach()

    if(NOT WIN32)
        _quavel_shaderpack_tool()
    endif()

    set(sources "")
    set(stems "")
    set(blocks "")
    set(declarations "")
    set(program_rows "")
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 3)
        math(EXPR s "${i} + 1")
        math(EXPR e "${i} + 2")
        list(GET ARG_SHADERS ${i} file)
        list(GET ARG_SHADERS ${s} stage)
        list(GET ARG_SHADERS ${e} entry)
        get_filename_component(file ${file} ABSOLUTE)
        get_filename_component(stem ${file} NAME_WE)
        _quavel_hlsl_profile(${stage} profile)
        # lowerCamelCase of the stem, as shaderpack names it.
        string(REGEX REPLACE "[_.-]+" ";" parts ${stem})
        set(name "")
        foreach(part IN LISTS parts)
            if(name STREQUAL "")
                set(name ${part})
            else()
                string(SUBSTRING ${part} 0 1 head)
                string(SUBSTRING ${part} 1 -1 tail)
                string(TOUPPER ${head} head)
                string(APPEND name ${head}${tail})
            endif()
        endforeach()
        set(source ${work}/${name}.cpp)

        if(QUAVEL_SHADER_BLOCKS STREQUAL "source")
            set(expanded ${work}/${name}.expanded.hlsl)
            set(block ${work}/${name}_block.inc)
            add_custom_command(
                OUTPUT ${expanded}
                COMMAND expand_hlsl_includes ${file} ${expanded} ${work}/${name}.d ${include_dirs}
                DEPENDS ${file} $<TARGET_FILE:expand_hlsl_includes>
                DEPFILE ${work}/${name}.d
                COMMENT "HLSL ${stem} (source for ${profile})"
                VERBATIM)
            add_custom_command(
                OUTPUT ${block}
                COMMAND quavel_embed_file ${name} ${expanded} ${block}
                DEPENDS ${expanded} $<TARGET_FILE:quavel_embed_file>
                VERBATIM)
            file(CONFIGURE OUTPUT ${source} CONTENT
"// Generated: the HLSL source of ${stem}, registered for compilation at start-up.
#include \"platform/shader_code.h\"
#include \"${name}_block.inc\"

namespace {
[[maybe_unused]] const bool registered =
    registerShaderSource({\"${stem}\", \"${profile}\", \"${entry}\", ${name}, &${name}_size});
}
")
            set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS ${block})
        elseif(WIN32)
            # fxc writes no dependency file: every include beside the program or in an
            # include directory counts.
            get_filename_component(file_dir ${file} DIRECTORY)
            set(includes "")
            foreach(dir IN LISTS include_dirs file_dir)
                file(GLOB found CONFIGURE_DEPENDS ${dir}/*.hlsli)
                list(APPEND includes ${found})
            endforeach()
            add_custom_command(
                OUTPUT ${source}
                COMMAND ${QUAVEL_FXC} /nologo /T ${profile} /E ${entry} ${fxc_include_flags}
                        /Fo ${work}/${name}.cso ${file}
                COMMAND quavel_embed_file ${name} ${work}/${name}.cso ${source}
                DEPENDS ${file} ${includes} quavel_embed_file
                COMMENT "HLSL ${stem} (${profile})"
                VERBATIM)
        elseif(QUAVEL_SHADER_BLOCKS STREQUAL "wgsl")
            set(include_options "")
            foreach(dir IN LISTS include_dirs)
                list(APPEND include_options --include ${dir})
            endforeach()
            set(to_wgsl ${PROJECT_SOURCE_DIR}/web/tools/spirv-to-wgsl.mjs)
            add_custom_command(
                OUTPUT ${work}/${name}.spv ${source} ${work}/${name}.wgsl ${work}/${name}.table
                COMMAND shaderpack spirv --stage ${stage} --entry ${entry} --source ${file}
                        ${include_options} --output ${work}/${name}.spv
                        --table ${work}/${name}.table --depfile ${work}/${name}.d
                COMMAND ${QUAVEL_NODE} ${to_wgsl} ${work}/${name}.spv ${work}/${name}.wgsl
                COMMAND shaderpack wgsl-block --table ${work}/${name}.table
                        --wgsl ${work}/${name}.wgsl --name ${name} --output ${source}
                DEPENDS ${file} shaderpack ${to_wgsl}
                        ${PROJECT_SOURCE_DIR}/node_modules/naga-wasm/package.json
                DEPFILE ${work}/${name}.d
                COMMENT "HLSL ${stem} (${profile} via SPIR-V to WGSL)"
                VERBATIM)
        else()
            set(include_options "")
            foreach(dir IN LISTS include_dirs)
                list(APPEND include_options --include ${dir})
            endforeach()
            add_custom_command(
                OUTPUT ${source}
                COMMAND shaderpack compile --stage ${stage} --entry ${entry} --source ${file}
                        ${include_options} --name ${name} --output ${source}
                        --depfile ${work}/${name}.d
                DEPENDS ${file} shaderpack
                DEPFILE ${work}/${name}.d
                COMMENT "HLSL ${stem} (${profile} via SPIR-V)"
                VERBATIM)
        endif()
        string(APPEND program_rows
               "    {\"${stem}\", \"${file}\", \"${stage}\", \"${entry}\", includeDirs, ${name}, &${name}_size},\n")
        list(APPEND sources ${source})
        list(APPEND stems ${stem})
        list(APPEND blocks ${name})
        string(APPEND declarations
               "extern const unsigned char ${name}[];\nextern const unsigned int ${name}_size;\n")
    endforeach()

    set(header ${include_dir}/${ARG_HEADER})
    set(content "// Compiled shader blocks of ${ARG_TARGET}, generated by the build.\n#pragma once\n\n${declarations}")
    file(GENERATE OUTPUT ${header} CONTENT "${content}")

    add_library(${ARG_TARGET} STATIC ${sources})
    target_include_directories(${ARG_TARGET} PUBLIC ${include_dir})
    if(QUAVEL_SHADER_BLOCKS STREQUAL "source")
        target_include_directories(${ARG_TARGET} PRIVATE ${work})
        target_link_libraries(${ARG_TARGET} PUBLIC quavel_shader_code)
    endif()
    set_target_properties(${ARG_TARGET} PROPERTIES LINKER_LANGUAGE CXX)
    set_target_properties(${ARG_TARGET} PROPERTIES QUAVEL_HLSL_STEMS "${stems}" QUAVEL_HLSL_BLOCKS "${blocks}")

    # The browser compiles nothing at run time: no program list.
    if(QUAVEL_SHADER_BLOCKS STREQUAL "wgsl")
        return()
    endif()
    set(dir_rows "")
    foreach(dir IN LISTS include_dirs)
        string(APPEND dir_rows "\"${dir}\", ")
    endforeach()
    set(table ${work}/${ARG_TARGET}_programs.cpp)
    file(GENERATE OUTPUT ${table} CONTENT
"// Generated: the programs of ${ARG_TARGET}, where they come from and their blocks.
#include \"platform/hlsl_program.h\"
#include \"${ARG_HEADER}\"

#include <iterator>

namespace {
const char* const includeDirs[] = {${dir_rows}nullptr};
const shaderpack::HlslProgram programs[] = {
${program_rows}};
} // namespace

extern const shaderpack::HlslProgramList ${ARG_TARGET}_programs;
const shaderpack::HlslProgramList ${ARG_TARGET}_programs = {programs, std::size(programs)};
")
    add_library(${ARG_TARGET}_programs STATIC ${table})
    target_include_directories(${ARG_TARGET}_programs PUBLIC ${QUAVEL_SRC})
    target_link_libraries(${ARG_TARGET}_programs PUBLIC ${ARG_TARGET} quavel_shader_compiler)
endfunction()
