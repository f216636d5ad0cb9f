# The engine on the device: resources, shaders, passes, frame execution and the frame
# context of ContextBuffer. The engine's Direct3D calls are in gfx_directx_impl.cpp; the
# frame context (frame_context.cpp) makes its own for the shared samplers.
# Header-only and the same for every target: a cross build (the web) looks on the build
# machine itself, whose generic system has no default prefixes.
find_path(QUAVEL_STB_INCLUDE_DIR stb_image.h PATHS /usr/include PATH_SUFFIXES stb REQUIRED
    NO_CMAKE_FIND_ROOT_PATH)

# The final copy pass's own programs. Blocks are named after their file stems, so the engine_
# prefix keeps them apart from the demo's vsFullscreenFlipY and psCopy at link time.
quavel_hlsl_shaders(TARGET quavel_engine_shaders
    HEADER engine_shaders.h
    SHADERS
        ${CMAKE_CURRENT_SOURCE_DIR}/shaders/engine_vs_fullscreen_flip_y.hlsl vs vertex_main
        ${CMAKE_CURRENT_SOURCE_DIR}/shaders/engine_ps_copy.hlsl ps pixel_main)

quavel_library(quavel_gpu
    SOURCES
        buffer_data_runtime.cpp
        buffer_runtime.cpp
        compute_pass_runtime.cpp
        creation_check.cpp
        draw_pass_runtime.cpp
        final_pass_shaders.cpp
        frame_context.cpp
        gfx_directx_impl.cpp
        graph_runtime.cpp
        image_decode.cpp
        image_runtime.cpp
        pipeline_state.cpp
        shader_runtime.cpp
        state_passes.cpp
        texture_runtime.cpp
    LIBS quavel_engine_shaders quavel_shader_code quavel_engine_logic quavel_graph quavel_camera quavel_platform_d3d11)
target_include_directories(quavel_gpu PRIVATE ${QUAVEL_STB_INCLUDE_DIR})
