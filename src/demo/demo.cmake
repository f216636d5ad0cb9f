# The show's assets linked into the executable, and the demo graph built from them.
set(assets ${CMAKE_CURRENT_SOURCE_DIR}/assets)
quavel_embed_files(TARGET quavel_demo_assets HEADER demo_asset_files.h ASSETS
    logoTexPng ${assets}/logoTex.png
    logoTex2Png ${assets}/logoTex2.png
    logoTex3Png ${assets}/logoTex3.png
    logoTex4Png ${assets}/logoTex4.png
    glowstuffmapPng ${assets}/glowstuffmap.png
    heartImagePng ${assets}/heartImage.png
    CredsImagePng ${assets}/CredsImage.png
    letterAtlasPng ${assets}/letterAtlas.png
    letterAtlas2Png ${assets}/letterAtlas2.png
    messageCodesBin ${assets}/scroll_message.codes
    showModuleXm ${assets}/quavel1.xm)

quavel_library(quavel_show_assets SOURCES show_assets.cpp
    LIBS quavel_demo_assets quavel_demo_shaders quavel_shader_code)

if(TARGET quavel_gpu)
    quavel_library(quavel_demo SOURCES build_demo.cpp
        LIBS quavel_show_assets quavel_show_tracks quavel_gpu)
endif()
