# Reading textures back (the show's read-back, the capture tool, the GPU tests), and the show's
# swap-chain description (start-up and the swap-chain tests).
if(TARGET quavel_platform_d3d11)
    quavel_library(quavel_swap_chain_description SOURCES swap_chain_description.cpp
        LIBS quavel_platform_d3d11)
    quavel_library(quavel_read_back SOURCES texture_read_back.cpp back_buffer_reader.cpp
        LIBS quavel_platform_d3d11)
endif()
# The show's clock without a sound card (also run by the Wine audio probe).
quavel_library(quavel_silent_clock SOURCES silent_clock.cpp LIBS quavel_platform_win32)
# The show: start-up, the frame loop and shutdown (quavel_show, shared with the capture tool),
# and the quavel1 executable.
if(TARGET quavel_demo AND TARGET quavel_audio)
    quavel_library(quavel_show
        SOURCES show.cpp show_frames.cpp frame_loop.cpp window_device.cpp window_fit.cpp
                window_procedure.cpp
                show_device.cpp
        LIBS quavel_demo quavel_gpu quavel_audio quavel_camera quavel_playhead quavel_read_back
             quavel_swap_chain_description quavel_silent_clock
             quavel_platform_win32 quavel_platform_d3d11 quavel_platform_waveout)
    # Shader programs compiled from a folder of sources into the running graph, and the
    # watch over that folder (shader_watch.cpp needs no device): quavel1 --edit.
    quavel_library(quavel_shader_watch SOURCES shader_watch.cpp)
    if(TARGET quavel_demo_shaders_programs)
        quavel_library(quavel_shader_reload SOURCES shader_reload.cpp
            LIBS quavel_gpu quavel_shader_compiler quavel_shader_code quavel_demo_shaders_programs)
        # The band that names broken programs in the picture, drawn with its own two programs.
        quavel_hlsl_shaders(TARGET quavel_broken_band_shaders
            HEADER broken_band_shaders.h
            SHADERS
                ${CMAKE_CURRENT_SOURCE_DIR}/shaders/broken_band_vs.hlsl vs vertex_main
                ${CMAKE_CURRENT_SOURCE_DIR}/shaders/broken_band_ps.hlsl ps pixel_main)
        quavel_library(quavel_live_shaders SOURCES live_shaders.cpp broken_band.cpp
            LIBS quavel_shader_reload quavel_shader_watch quavel_show quavel_broken_band_shaders
                 quavel_shader_code quavel_glyph_table quavel_edit_output)
    endif()
    # Live editing under the sync editor: below the window, so tests need no GPU.
    quavel_library(quavel_edit_output SOURCES edit_output.cpp)
    quavel_library(quavel_live_edit SOURCES live_edit.cpp
        LIBS quavel_edit_output quavel_audio quavel_sync_editor quavel_key_data_writer quavel_playhead)
    # quavel1 --check: the golden-frame references and the masks of their tiles known to vary
    # by GPU are linked in, so the executable needs no files.
    set(golden ${PROJECT_SOURCE_DIR}/tests/show/golden)
    quavel_embed_files(TARGET quavel_golden_references HEADER golden_reference_files.h ASSETS
        goldenExplosion ${golden}/explosion.png
        goldenExplosionVary ${golden}/explosion.vary.png
        goldenParticles ${golden}/particles.png
        goldenParticlesVary ${golden}/particles.vary.png
        goldenCredits ${golden}/credits.png
        goldenCreditsVary ${golden}/credits.vary.png)
    quavel_library(quavel_self_check
        SOURCES check/adapter_description.cpp check/check_frames.cpp check/check_report.cpp
                check/golden_references.cpp check/pass_timer.cpp check/program_times.cpp
                check/self_check.cpp
        LIBS quavel_show quavel_tile_compare quavel_golden_references quavel_playhead quavel_files)
    target_include_directories(quavel_self_check SYSTEM PRIVATE ${QUAVEL_STB_INCLUDE_DIR})
    # The show's command line: split as Windows splits it, parsed as every tool parses.
    quavel_library(quavel_show_arguments SOURCES show_arguments.cpp process_arguments.cpp
        LIBS quavel_command_line quavel_platform_win32)
    add_executable(quavel1 show_main.cpp edit_messages.cpp)
    target_link_libraries(quavel1 PRIVATE quavel_self_check quavel_show quavel_live_edit
        quavel_render_folder quavel_show_arguments
        quavel_platform_entry)
    set_target_properties(quavel1 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    if(TARGET quavel_live_shaders)
        target_link_libraries(quavel1 PRIVATE quavel_live_shaders)
        target_compile_definitions(quavel1 PRIVATE QUAVEL_LIVE_SHADERS)
    endif()
    if(WIN32)
        # A GUI-subsystem program (WinMain, no console window) with its icon and version
        # information, and a manifest declaring it DPI-aware; the icon is drawn by picture-icon
        # (tools/pictures).
        set(QUAVEL_ICON ${CMAKE_CURRENT_SOURCE_DIR}/quavel1.ico)
        set(QUAVEL_MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/quavel1.manifest)
        set(QUAVEL_VERSION 1.0.0.0)
        string(REPLACE "." "," QUAVEL_VERSION_COMMAS ${QUAVEL_VERSION})
        configure_file(quavel1.rc.in ${CMAKE_CURRENT_BINARY_DIR}/quavel1.rc @ONLY)
        target_sources(quavel1 PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/quavel1.rc)
        set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/quavel1.rc PROPERTIES
            OBJECT_DEPENDS "${QUAVEL_ICON};${QUAVEL_MANIFEST}")
        set_target_properties(quavel1 PROPERTIES WIN32_EXECUTABLE ON)
        # The exports that ask hybrid-GPU laptops' drivers for the discrete GPU.
        target_sources(quavel1 PRIVATE ${QUAVEL_SRC}/platform/windows/gpu_preference.cpp)
    endif()
endif()
