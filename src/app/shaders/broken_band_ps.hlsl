// The band along the top of the picture while a shader program does not compile: dark red,
// with a line of text in the scroller's letters. The letters are 24 times smaller here than
// in the atlas, so each pixel averages a 4 x 4 grid of atlas samples over its footprint.
#define BAND_GLYPHS 128

cbuffer BandText : register(b0) {
    // x: glyphs laid out, y: atlas pixels per band pixel, z: top of the letters in an atlas
    // row.
    float4 layout;
    // Per glyph: left edge in band pixels, left edge in the atlas, atlas row (0..5), width
    // in atlas pixels.
    float4 glyphs[BAND_GLYPHS];
};

Texture2D letterAtlas : register(t0);  // atlas rows 0..2
Texture2D letterAtlas2 : register(t1); // atlas rows 3..5
SamplerState smpClamp : register(s0);

static const float2 ATLAS_SIZE = float2(4096.0, 3318.0);
static const float ATLAS_ROW = 1106.0;
static const float3 BAND = float3(0.55, 0.02, 0.02);
static const float3 LETTERS = float3(1.0, 0.93, 0.85);

float coverageAt(float2 atlasPixel, float row) {
    // Atlas rows are counted from the top; the images are stored bottom row first. (Written
    // without the ternary operator and continue, which Wine's compiler does not take.)
    const bool second = row >= 3.0;
    float2 t = float2(atlasPixel.x, (row - 3.0 * float(second)) * ATLAS_ROW + atlasPixel.y);
    t = float2(t.x, ATLAS_SIZE.y - t.y) / ATLAS_SIZE;
    float4 s;
    if (second)
        s = letterAtlas2.SampleLevel(smpClamp, t, 0);
    else
        s = letterAtlas.SampleLevel(smpClamp, t, 0);
    return (s.r + s.g + s.b) / 3.0;
}

float4 pixel_main(float4 position : SV_POSITION) : SV_TARGET {
    const float scale = layout.y;
    float coverage = 0.0;
    const int count = int(layout.x);
    // Glyphs do not overlap: at most one holds this pixel.
    for (int i = 0; i < count; ++i) {
        const float4 g = glyphs[i];
        const float left = position.x - 0.5 - g.x;
        if (left >= 0.0 && left < g.w / scale) {
            const float2 pixel = float2(g.y + left * scale, layout.z + (position.y - 0.5) * scale);
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const float2 at = pixel + (float2(sx, sy) + 0.5) * (scale / 4.0);
                    if (at.x < g.y + g.w)
                        coverage += coverageAt(at, g.z);
                }
        }
    }
    return float4(lerp(BAND, LETTERS, saturate(coverage / 16.0)), 1.0);
}
