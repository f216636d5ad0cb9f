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

# The scroller's glyph table on the CPU (the band that names broken shader programs).
quavel_library(quavel_glyph_table SOURCES glyph_table.cpp)

quavel_library(quavel_show_assets SOURCES show_assets.cpp
    LIBS quavel_demo_assets quavel_demo_shaders quavel_shader_code)

if(TARGET quavel_gpu)
    quavel_library(quavel_demo SOURCES build_demo.cpp
        LIBS quavel_show_assets quavel_show_tracks quavel_gpu)
endif()

# The scroll message's length lives in three committed files: the atlas tool writes it into
# glyph_table.h (which the graph's buffer, dispatch and draw sizes take) and into
# glyph_tables.hlsli (the layout shader's bound), and the codes file holds that many 4-byte
# codes. They are checked against each other whenever one of them changes.
set(_message_files ${CMAKE_CURRENT_SOURCE_DIR}/glyph_table.h
    ${CMAKE_CURRENT_SOURCE_DIR}/shaders/glyph_tables.hlsli ${assets}/scroll_message.codes)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_message_files})
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/glyph_table.h _cpp REGEX "messageGlyphCount = [0-9]+;")
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/shaders/glyph_tables.hlsli _hlsl
    REGEX "MESSAGE_GLYPH_COUNT = [0-9]+;")
string(REGEX MATCH "[0-9]+" _cpp "${_cpp}")
string(REGEX MATCH "[0-9]+" _hlsl "${_hlsl}")
file(SIZE ${assets}/scroll_message.codes _code_bytes)
if(_cpp)
    math(EXPR _expected_bytes "${_cpp} * 4")
endif()
if(NOT _cpp OR NOT _cpp STREQUAL _hlsl OR NOT _code_bytes EQUAL _expected_bytes)
    message(FATAL_ERROR "scroll message length disagrees: glyph_table.h says '${_cpp}', "
        "glyph_tables.hlsli '${_hlsl}', scroll_message.codes holds ${_code_bytes} bytes; "
        "regenerate them together (target generate-pictures)")
endif()
