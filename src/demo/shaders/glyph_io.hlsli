#ifndef GLYPH_IO_HLSLI
#define GLYPH_IO_HLSLI

// Interface of vsGlyphs and psGlyphs; atlasPixel is in atlas pixels.
struct GlyphVertexToPixel {
    float4 position : SV_POSITION;
    float2 uv : TEXCOORD0;
    float2 atlasPixel : TEXCOORD2;
    nointerpolation int atlasId : ATLASID;
};

#endif
