# Small helpers shared by the subsystem, test and benchmark CMakeLists.

# quavel_library(NAME SOURCES ... [LIBS ...]): a static library with src/ as its include root.
function(quavel_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${QUAVEL_SRC})
    if(ARG_LIBS)
        target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    endif()
endfunction()

# quavel_test(NAME SOURCES ... [LIBS ...] [LABELS ...] [GPU] [WINDOW] [SERIAL]): a GoogleTest
# executable whose cases CTest discovers one by one. GPU marks tests that need an OpenGL device
# (they render offscreen, with or without a display server); WINDOW marks tests of a real
# window, which need a display (./test gives only those Xvfb when there is none). SERIAL runs
# each case alone: tests of the keyboard focus, which any other program's window on the same
# display takes away.
function(quavel_test name)
    cmake_parse_arguments(ARG "GPU;WINDOW;SERIAL" "" "SOURCES;LIBS;LABELS" ${ARGN})
    find_package(GTest REQUIRED)
    include(GoogleTest)
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${QUAVEL_SRC} ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    set(labels ${ARG_LABELS})
    # One label a kind: window tests are GPU tests too, but a list of labels would not pass
    # through gtest_discover_tests' PROPERTIES as one value.
    if(ARG_WINDOW)
        list(APPEND labels window)
    elseif(ARG_GPU)
        list(APPEND labels gpu)
    endif()
    set(serial FALSE)
    if(ARG_SERIAL)
        set(serial TRUE)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${labels}" RUN_SERIAL ${serial})
endfunction()

# quavel_benchmark(NAME SOURCES ... [LIBS ...]): a Google Benchmark program (not run by CTest).
function(quavel_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${QUAVEL_SRC})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# quavel_subdirectories(): adds every direct subdirectory that has a CMakeLists.txt, so each
# subsystem's tests, benchmarks or tools live in a folder of their own.
macro(quavel_subdirectories)
    file(GLOB _quavel_children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(_child IN LISTS _quavel_children)
        if(IS_DIRECTORY ${_child} AND EXISTS ${_child}/CMakeLists.txt)
            add_subdirectory(${_child})
        endif()
    endforeach()
endmacro()
