# The show: start-up, the frame loop and shutdown (quavel_show, shared with the capture tool),
# and the quavel1 executable.
if(TARGET quavel_demo AND TARGET quavel_audio)
    quavel_library(quavel_show SOURCES show.cpp frame_loop.cpp window_device.cpp
        LIBS quavel_demo quavel_gpu quavel_audio quavel_camera quavel_platform_win32
             quavel_platform_d3d11 quavel_platform_waveout)
    add_executable(quavel1 show_main.cpp)
    target_link_libraries(quavel1 PRIVATE quavel_show quavel_platform_entry)
    set_target_properties(quavel1 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
