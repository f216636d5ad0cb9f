# Build-time helpers that run on the build machine. A native build makes them as ordinary
# targets; a cross build compiles them once at configure time with the build machine's own
# C++ compiler (QUAVEL_HOST_CXX), since the target's executables cannot run here.
#
# quavel_host_tool(NAME SOURCE): an executable target NAME usable in add_custom_command.
set(QUAVEL_HOST_CXX c++ CACHE STRING "C++ compiler of the build machine (cross builds only)")

function(quavel_host_tool name source)
    if(TARGET ${name})
        return()
    endif()
    if(NOT CMAKE_CROSSCOMPILING)
        add_executable(${name} ${source})
        return()
    endif()
    set(binary ${CMAKE_BINARY_DIR}/host-tools/${name})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host-tools)
    file(SHA256 ${source} source_hash)
    if(NOT EXISTS ${binary} OR NOT "${source_hash}" STREQUAL "${QUAVEL_HOST_TOOL_HASH_${name}}")
        execute_process(
            COMMAND ${QUAVEL_HOST_CXX} -std=c++17 -O2 -o ${binary} ${source}
            RESULT_VARIABLE result ERROR_VARIABLE output)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "Cannot build the host tool ${name} with ${QUAVEL_HOST_CXX}:\n${output}")
        endif()
        set(QUAVEL_HOST_TOOL_HASH_${name} ${source_hash} CACHE INTERNAL "")
    endif()
    # Reconfigure when the tool's source changes.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    add_executable(${name} IMPORTED GLOBAL)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${binary})
endfunction()
