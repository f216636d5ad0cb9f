// One quad per glyph of the scroller, placed by the layout pass and shifted by the scroll
// position.
#include "char_data.hlsli"
#include "context_buffer.hlsli"
#include "glyph_io.hlsli"

StructuredBuffer<CharDataElement> bufferCharDataSRV : register(t1);

static const float2 glyphCorners[6] = {
    float2(-1.0, -1.0), float2(-1.0, 1.0), float2(1.0, -1.0),
    float2(-1.0, 1.0),  float2(1.0, -1.0), float2(1.0, 1.0)
};
// Shift of the whole line against Scroll1pos; with the height term it starts the line right of
// the screen when the scroll begins.
static const float SCROLL_ORIGIN = 4.39;

GlyphVertexToPixel vertex_main(uint vertexId : SV_VertexID, uint instanceId : SV_InstanceID)
{
    float2 corner = glyphCorners[vertexId % 6];
    float2 q = corner * 0.5 + 0.5;
    CharData d = loadCharData(bufferCharDataSRV[instanceId]);

    GlyphVertexToPixel o;
    o.position.xy = corner * d.quadScaleBias.xy + d.quadScaleBias.zw;
    o.position.x += Scroll1pos - SCROLL_ORIGIN + resolution.y / 100.0;
    o.position.zw = float2(0.0, 1.0);
    o.uv = q;
    o.atlasPixel = q * d.uvScaleBias.xy + d.uvScaleBias.zw;
    o.atlasId = d.atlasId;
    return o;
}
